#include "service/job_scheduler.h"

#include "platform/path_rules.h"
#include "service/service_log.h"

namespace quillrun::service {
namespace {

// The dialog's work cycle removes one trailing separator per cycle; the service has no cycle,
// so it removes all of them before it starts.
void TrimRoot(std::string& root) {
    for (std::string before; before != root;) {
        before = root;
        platform::TrimTrailingSeparator(root);
    }
}

}  // namespace

JobScheduler::JobScheduler(const ServiceSetup& setup, unsigned jobs,
                           platform::ServiceEvents& events, ServiceLog& log,
                           PageStatisticsFile* pageStatistics)
    : m_settings(setup.settings),
      m_readerPath(setup.readerPath),
      m_jobLimit(jobs),
      m_events(events),
      m_log(log),
      m_claims(std::make_shared<ImageClaims>()),
      m_context{m_settings, m_readerPath, m_claims, events, log, pageStatistics},
      m_search(*this) {
    TrimRoot(m_settings.sourcePath);
    TrimRoot(m_settings.destPath);
    m_search.settings() = m_settings;
    m_search.settings().writeLog = false;  // its lines, if any, go through the service's log
    m_search.SetImageClaims(m_claims);
}

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
        // With every job slot busy, or while the running jobs finish, only a job's end or a stop
        // request is worth waking up for.
        const auto timeout = idle && !m_workStopped
                                 ? std::optional<std::chrono::milliseconds>(kIdlePoll)
                                 : std::nullopt;
        if (m_events.Wait(timeout) == platform::ServiceEvents::Event::StopRequested) {
            break;
        }
    }
    // Each job sees the stop request and ends its reading program; destroying it waits for that.
    m_jobs.clear();
    return ServiceEnd::StopRequested;
}

bool JobScheduler::StartNextJob() {
    if (!m_search.FindNextImage(m_settings.sourcePath)) {
        return false;
    }
    std::string document = m_search.pendingOutput();
    m_claims->Reserve(document);
    m_jobs.push_back(std::make_unique<ServiceJob>(m_context, m_search.currentImage(), document));
    m_search.ReleasePendingOutput();
    return true;
}

void JobScheduler::CollectFinishedJobs() {
    for (auto job = m_jobs.begin(); job != m_jobs.end();) {
        if ((*job)->finished()) {
            m_workStopped = m_workStopped || (*job)->stoppedWork();
            job = m_jobs.erase(job);
        } else {
            ++job;
        }
    }
}

// The search logs nothing today; should it ever, its lines belong in the log all the same.
void JobScheduler::AppendLogText(const std::string& text) {
    m_log.WriteLines(text);
}

}  // namespace quillrun::service
