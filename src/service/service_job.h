#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "engine/conversion_job.h"
#include "engine/image_claims.h"
#include "engine/image_search.h"
#include "platform/service_events.h"
#include "settings/settings.h"

namespace quillrun::service {

class ServiceLog;
class PageStatisticsFile;

// What every job of the service shares.
struct JobContext {
    const Settings& settings;
    const std::string& readerPath;
    ImageClaims& claims;
    platform::ServiceEvents& events;
    ServiceLog& log;
    PageStatisticsFile* pageStatistics;  // null without --page-stats
};

// One conversion job on a thread of its own, exactly as the dialog runs it, with the run's
// settings. Its log lines are held back and written together when it ends. The image's
// reservation is released then, and the service woken up.
class ServiceJob final {
  public:
    ServiceJob(const JobContext& context, Candidate candidate);
    // Waits for the job to end.
    ~ServiceJob();
    ServiceJob(const ServiceJob&) = delete;
    ServiceJob& operator=(const ServiceJob&) = delete;

    bool finished() const { return m_finished.load(); }
    // How the job ended; read once finished.
    JobOutcome outcome() const { return m_outcome; }
    // From its start to its end; read once finished.
    std::chrono::steady_clock::duration took() const { return m_took; }
    // The pages harvested, when converted; read once finished.
    const DocumentStatistics& statistics() const { return m_statistics; }
    const std::string& document() const { return m_candidate.document; }
    // The job's stamped log lines; read once finished.
    const std::string& lines() const { return m_lines; }

  private:
    void Run();

    const JobContext& m_context;
    const Candidate m_candidate;
    JobOutcome m_outcome = JobOutcome::LeftForNextStart;
    std::chrono::steady_clock::duration m_took{};
    DocumentStatistics m_statistics;
    std::string m_lines;
    std::atomic<bool> m_finished{false};
    std::thread m_thread;  // last, so that everything it uses exists when it starts
};

}  // namespace quillrun::service
