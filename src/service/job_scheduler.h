#pragma once

#include <list>
#include <memory>

#include "engine/engine_host.h"
#include "engine/image_claims.h"
#include "engine/quillrun_engine.h"
#include "service/service_job.h"
#include "service/service_setup.h"

namespace quillrun::service {

// How long the service waits before it searches again when the last search found nothing.
inline constexpr std::chrono::seconds kIdlePoll{5};

enum class ServiceEnd {
    StopRequested,  // SIGTERM or SIGINT: every job has been ended or has finished
    WorkStopped     // a job could not run at all; the other jobs were let finish
};

// Keeps up to the given number of jobs running: searches the source hierarchy on this thread,
// reserves the image found, and hands it to a job of its own thread. Searches again as soon as a
// job has ended, and every kIdlePoll while the last search found nothing.
class JobScheduler final : private EngineHost {
  public:
    JobScheduler(const ServiceSetup& setup, unsigned jobs, platform::ServiceEvents& events,
                 ServiceLog& log, PageStatisticsFile* pageStatistics);
    ~JobScheduler() override;
    JobScheduler(const JobScheduler&) = delete;
    JobScheduler& operator=(const JobScheduler&) = delete;

    ServiceEnd Run();

  private:
    bool StartNextJob();
    void CollectFinishedJobs();

    // EngineHost, for the engine that only searches.
    void SetStatusText(const std::string& /*text*/) override {}
    void AppendLogText(const std::string& text) override;
    unsigned ArmTimer(unsigned /*timerId*/, int /*intervalMs*/) override { return 0; }
    void KillTimer(unsigned /*timerId*/) override {}
    void EnableStatisticsButton() override {}

    Settings m_settings;
    const std::string m_readerPath;
    const unsigned m_jobLimit;
    platform::ServiceEvents& m_events;
    ServiceLog& m_log;
    std::shared_ptr<ImageClaims> m_claims;
    JobContext m_context;
    QuillrunEngine m_search;
    std::list<std::unique_ptr<ServiceJob>> m_jobs;
    bool m_workStopped = false;
};

}  // namespace quillrun::service
