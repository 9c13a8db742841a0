#include "service/job_scheduler.h"

#include "service/service_log.h"

namespace quillrun::service {

JobScheduler::JobScheduler(const ServiceSetup& setup, unsigned jobs,
                           platform::ServiceEvents& events, ServiceLog& log,
                           PageStatisticsFile* pageStatistics, const ClaimTiming& claimTiming,
                           SchedulerObserver* observer)
    : m_jobLimit(jobs),
      m_events(events),
      m_claims(platform::ThisProcess(), claimTiming),
      m_context{setup.settings, setup.readerPath, m_claims, events, log, pageStatistics},
      m_search(setup.settings.sourcePath, setup.settings.destPath, m_claims,
               [&log](const std::string& message) { log.Write(message); }),
      m_observer(observer != nullptr ? *observer : m_nobody),
      m_countBacklog(observer != nullptr) {}

JobScheduler::~JobScheduler() = default;

ServiceEnd JobScheduler::Run() {
    for (;;) {
        CollectFinishedJobs();
        if (m_events.stopRequested()) {
            break;
        }
        bool idle = false;
        while (!m_workStopped && m_jobs.size() < m_jobLimit) {
            if (!StartNextJob()) {
                idle = true;
                break;
            }
        }
        if (m_workStopped && m_jobs.empty()) {
            return ServiceEnd::WorkStopped;
        }
        CountBacklog(idle);
        // With every job slot busy, or while the running jobs finish, only a job's end or a stop
        // request is worth waking up for.
        const auto timeout = idle && !m_workStopped
                                 ? std::optional<std::chrono::milliseconds>(kIdlePoll)
                                 : std::nullopt;
        m_observer.Resting();
        const platform::ServiceEvents::Event event = m_events.Wait(timeout);
        m_observer.Busy();
        if (event == platform::ServiceEvents::Event::StopRequested) {
            break;
        }
    }
    m_observer.Stopping();
    // Each job sees the stop request and ends its reading program; destroying it waits for that.
    m_jobs.clear();
    return ServiceEnd::StopRequested;
}

bool JobScheduler::StartNextJob() {
    std::optional<Candidate> candidate = m_search.Next([this] { return m_events.stopRequested(); });
    m_observer.SearchCompleted();
    if (!candidate) {
        return false;
    }
    m_claims.Reserve(candidate->document);
    m_jobs.push_back(std::make_unique<ServiceJob>(m_context, std::move(*candidate)));
    m_observer.JobStarted();
    return true;
}

void JobScheduler::CountBacklog(bool searchFoundNothing) {
    if (!m_countBacklog || m_workStopped) {
        return;
    }
    if (searchFoundNothing) {
        m_observer.BacklogCounted(0);
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now < m_nextBacklogCount) {
        return;
    }
    m_nextBacklogCount = now + kBacklogCountEvery;
    if (const std::optional<std::size_t> waiting =
            m_search.CountWaiting([this] { return m_events.stopRequested(); })) {
        m_observer.BacklogCounted(*waiting);
    }
}

void JobScheduler::CollectFinishedJobs() {
    for (auto job = m_jobs.begin(); job != m_jobs.end();) {
        if ((*job)->finished()) {
            // Nothing the next image needs would be there either: no new job starts.
            if ((*job)->outcome() == JobOutcome::WorkCannotGoOn) {
                m_workStopped = true;
                m_workStoppedReason += (*job)->lines();
            }
            if ((*job)->outcome() == JobOutcome::PassedOver) {
                m_search.PassOver((*job)->document());
            }
            m_observer.JobEnded({(*job)->outcome(), (*job)->took(), (*job)->statistics()});
            m_observer.ClaimsTakenOver(m_claims.claimsTakenOver());
            job = m_jobs.erase(job);
        } else {
            ++job;
        }
    }
}

}  // namespace quillrun::service
