#include "service/metrics_server.h"

#include <civetweb.h>
#include <prometheus/exposer.h>

#include <CivetServer.h>

#include <atomic>
#include <exception>
#include <string_view>

#include "service/service_metrics.h"

namespace quillrun::service {
namespace {

// The probes are answered before the exposer sees the request. Civetweb hands its callbacks
// nothing of ours, so the one server's figures are found here.
std::atomic<const ServiceMetrics*> g_probed{nullptr};

int AnswerProbe(mg_connection* connection) {
    const mg_request_info* request = mg_get_request_info(connection);
    const ServiceMetrics* metrics = g_probed.load();
    if (request == nullptr || request->local_uri == nullptr || metrics == nullptr) {
        return 0;
    }
    const std::string_view uri = request->local_uri;
    std::string problem;
    if (uri == "/healthz") {
        problem = metrics->NotLive();
    } else if (uri == "/readyz") {
        problem = metrics->NotReady();
    } else {
        return 0;  // /metrics, and whatever else is asked for: the exposer's
    }
    if (!problem.empty()) {
        mg_send_http_error(connection, 503, "%s", problem.c_str());
        return 503;
    }
    constexpr std::string_view kFine = "ok\n";
    mg_send_http_ok(connection, "text/plain; charset=utf-8", kFine.size());
    mg_write(connection, kFine.data(), kFine.size());
    return 200;
}

class PrometheusServer final : public MetricsServer {
  public:
    explicit PrometheusServer(const std::string& address)
        : m_callbacks(ProbeCallbacks()), m_exposer(address, 2, &m_callbacks) {
        m_exposer.RegisterCollectable(m_metrics.collectable());
        g_probed.store(&m_metrics);
    }
    ~PrometheusServer() override { g_probed.store(nullptr); }

    SchedulerObserver& observer() override { return m_metrics; }
    void StartUpPassed() override { m_metrics.StartUpPassed(); }

  private:
    static CivetCallbacks ProbeCallbacks() {
        CivetCallbacks callbacks;
        callbacks.begin_request = &AnswerProbe;
        return callbacks;
    }

    ServiceMetrics m_metrics;
    CivetCallbacks m_callbacks;
    prometheus::Exposer m_exposer;  // last: it serves the others until it has gone
};

}  // namespace

ServedMetrics ServeMetrics(const std::string& address) {
    try {
        return {std::make_unique<PrometheusServer>(address), {}};
    } catch (const std::exception& failure) {
        // The exposer reports a port it cannot listen on by throwing, in civetweb's words.
        return {nullptr, "--metrics " + address + " cannot be served: " + failure.what()};
    }
}

}  // namespace quillrun::service
