#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "engine/engine_host.h"
#include "engine/image_claims.h"
#include "platform/service_events.h"
#include "settings/settings.h"

namespace quillrun::service {

class ServiceLog;
class PageStatisticsFile;

// What every job of the service shares.
struct JobContext {
    const Settings& settings;
    const std::string& readerPath;
    std::shared_ptr<ImageClaims> claims;
    platform::ServiceEvents& events;
    ServiceLog& log;
    PageStatisticsFile* pageStatistics;  // null without --page-stats
};

// One conversion job on a thread of its own, exactly as the dialog runs it: an engine of its own
// converts the image the search chose, with the run's settings. Its log lines are held back and
// written together when it ends. The image's reservation is released then, and the service
// woken up.
class ServiceJob final : private EngineHost {
  public:
    ServiceJob(const JobContext& context, std::string image, std::string document);
    // Waits for the job to end.
    ~ServiceJob() override;
    ServiceJob(const ServiceJob&) = delete;
    ServiceJob& operator=(const ServiceJob&) = delete;

    bool finished() const { return m_finished.load(); }
    // The job could not run at all (a destination folder or the reading program failed): the
    // service takes no new image.
    bool stoppedWork() const { return m_stoppedWork.load(); }

  private:
    void Run();

    // EngineHost
    void SetStatusText(const std::string& text) override;
    void AppendLogText(const std::string& text) override;
    unsigned ArmTimer(unsigned timerId, int intervalMs) override;
    void KillTimer(unsigned timerId) override;
    void EnableStatisticsButton() override;
    platform::WaitVerdict ReaderRunning(const std::string& image,
                                        std::chrono::milliseconds elapsed) override;
    bool StopRequested() override;

    const JobContext& m_context;
    const std::string m_image;
    const std::string m_document;
    std::string m_lines;
    std::atomic<bool> m_stoppedWork{false};
    std::atomic<bool> m_finished{false};
    std::thread m_thread;  // last, so that everything it uses exists when it starts
};

}  // namespace quillrun::service
