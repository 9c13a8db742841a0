#pragma once

#include <list>
#include <memory>

#include "engine/image_claims.h"
#include "engine/image_search.h"
#include "service/scheduler_observer.h"
#include "service/service_job.h"
#include "service/service_setup.h"

namespace quillrun::service {

// How long the service waits before it searches again when the last search found nothing.
inline constexpr std::chrono::seconds kIdlePoll{5};
// While every job slot is busy, the images still waiting are counted this often for an observer
// (a walk that takes none of them; with nothing left to take, the search itself counts them).
inline constexpr std::chrono::seconds kBacklogCountEvery{60};

enum class ServiceEnd {
    StopRequested,  // SIGTERM or SIGINT: every job has been ended or has finished
    WorkStopped     // a job could not run at all; the other jobs were let finish
};

// Keeps up to the given number of jobs running: searches the source hierarchy on this thread,
// reserves the image found, and hands it to a job of its own thread. Searches again as soon as a
// job has ended, and every kIdlePoll while the last search found nothing.
class JobScheduler final {
  public:
    JobScheduler(const ServiceSetup& setup, unsigned jobs, platform::ServiceEvents& events,
                 ServiceLog& log, PageStatisticsFile* pageStatistics,
                 const ClaimTiming& claimTiming = {}, SchedulerObserver* observer = nullptr);
    ~JobScheduler();
    JobScheduler(const JobScheduler&) = delete;
    JobScheduler& operator=(const JobScheduler&) = delete;

    ServiceEnd Run();
    // The log lines of the jobs that found the work could not go on, once Run has ended so.
    const std::string& workStoppedReason() const { return m_workStoppedReason; }

  private:
    bool StartNextJob();
    void CollectFinishedJobs();
    void CountBacklog(bool searchFoundNothing);

    const unsigned m_jobLimit;
    platform::ServiceEvents& m_events;
    ImageClaims m_claims;
    JobContext m_context;
    ImageSearch m_search;
    std::list<std::unique_ptr<ServiceJob>> m_jobs;
    bool m_workStopped = false;
    SchedulerObserver m_nobody;
    SchedulerObserver& m_observer;
    const bool m_countBacklog;
    std::chrono::steady_clock::time_point m_nextBacklogCount;
    std::string m_workStoppedReason;
};

}  // namespace quillrun::service
