#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

#include "engine/conversion_job.h"

namespace quillrun::service {

// How a job of the service ended.
struct FinishedJob {
    JobOutcome outcome;
    std::chrono::steady_clock::duration took;
    const DocumentStatistics& statistics;  // the pages harvested; none unless converted
};

// Hears what the service's main loop does, on the loop's own thread: the metrics watch it
// through this. The loop works the same whether anybody listens or not.
class SchedulerObserver {
  public:
    virtual ~SchedulerObserver() = default;

    // From now until Resting the loop is at work: searching, counting, collecting ended jobs.
    // A search on a share that no longer answers keeps it here.
    virtual void Busy() {}
    // The loop waits for a job to end, a stop request or the time of its next search.
    virtual void Resting() {}
    virtual void SearchCompleted() {}
    virtual void JobStarted() {}
    virtual void JobEnded(const FinishedJob& /*job*/) {}
    // The images waiting for a job, as the last walk that took none of them counted them.
    virtual void BacklogCounted(std::size_t /*images*/) {}
    // How many claims of holders judged gone this service has taken over since it started.
    virtual void ClaimsTakenOver(std::uint64_t /*total*/) {}
    // A stop has been requested: the running jobs are being ended.
    virtual void Stopping() {}
};

}  // namespace quillrun::service
