#pragma once

#include <memory>
#include <string>

namespace quillrun::service {

class SchedulerObserver;

// What --metrics serves while the service runs: Prometheus' text at /metrics, and the probes
// /healthz (fails while the main loop is stuck) and /readyz (fails until the start-up checks
// have passed, and once a stop has been requested).
class MetricsServer {
  public:
    virtual ~MetricsServer() = default;

    // What the main loop reports to.
    virtual SchedulerObserver& observer() = 0;
    virtual void StartUpPassed() = 0;
};

struct ServedMetrics {
    std::unique_ptr<MetricsServer> server;
    std::string error;  // why it cannot serve, when it cannot
};

// Starts serving on address, "HOST:PORT" as --metrics takes it. Only one at a time, and after the
// service's events exist: the server's threads are to leave the stop signals alone.
ServedMetrics ServeMetrics(const std::string& address);

}  // namespace quillrun::service
