#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "service/scheduler_observer.h"

namespace prometheus {
class Collectable;
}

namespace quillrun::service {

// The service's figures for --metrics, counted from what its main loop reports, and its health
// as the probes see it. Reported to from the main loop, read from the server's threads.
class ServiceMetrics final : public SchedulerObserver {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // Work of the main loop that lasts longer than this (a search on a share that no longer
    // answers) means the loop is stuck. A full walk of a large tree on a slow share stays well
    // within it.
    static constexpr std::chrono::minutes kStuckAfter{5};

    explicit ServiceMetrics(Clock clock = &std::chrono::steady_clock::now);
    ~ServiceMetrics() override;
    ServiceMetrics(const ServiceMetrics&) = delete;
    ServiceMetrics& operator=(const ServiceMetrics&) = delete;

    void Busy() override;
    void Resting() override;
    void SearchCompleted() override;
    void JobStarted() override;
    void JobEnded(const FinishedJob& job) override;
    void BacklogCounted(std::size_t images) override;
    void ClaimsTakenOver(std::uint64_t total) override;
    void Stopping() override;

    // The start-up checks have passed: the service is ready for work.
    void StartUpPassed();

    // Why the service is not live (/healthz) or not ready (/readyz); empty when it is.
    std::string NotLive() const;
    std::string NotReady() const;

    // What a scrape reads; the figures in Prometheus' text format.
    std::shared_ptr<prometheus::Collectable> collectable() const;
    std::string Text() const;

  private:
    struct Figures;
    std::int64_t Now() const;

    const Clock m_clock;
    std::unique_ptr<Figures> m_figures;
    std::shared_ptr<prometheus::Collectable> m_collectable;
    // Steady-clock times in nanoseconds, so that the server's threads read them without a lock.
    std::atomic<std::int64_t> m_busySince;
    std::atomic<std::int64_t> m_lastSearch;
    std::atomic<bool> m_resting{false};
    std::atomic<bool> m_ready{false};
    std::atomic<bool> m_stopping{false};
    std::uint64_t m_claimsTakenOver = 0;
};

}  // namespace quillrun::service
