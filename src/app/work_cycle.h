#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "app/posted_actions.h"
#include "engine/conversion_job.h"
#include "engine/document_release.h"
#include "engine/image_claims.h"
#include "engine/image_search.h"
#include "engine/page_stats.h"
#include "log/activity_log.h"
#include "settings/settings.h"

namespace quillrun::app {

class MainDialogView;

inline constexpr unsigned kWorkTimerId = 1;
inline constexpr int kFirstInterval = 3000;  // until the first idle cycle or reader run
inline constexpr int kLaterInterval = 5000;

inline constexpr const char* kStatusWorking = "Working";
inline constexpr const char* kStatusWaiting = "Waiting for work";
inline constexpr const char* kStatusCheckSettings = "Please check the settings and press OK";
// Shown when a job could not run at all and no new image is taken until the program restarts.
inline constexpr const char* kStatusStopped = "Stopped - the Activity Log says why";
// Shown while the last document is still in use, as the activity log says.
inline constexpr const char* kStatusWaitingForDocument = "Waiting for a document to be released";

// The dialog's unattended work: a one-shot timer starts each cycle, which waits for the last
// document to be released, searches for the next image and converts it, and the next tick is
// armed only when the cycle has ended, so cycles never overlap. The cycle itself runs on a worker
// thread; what it shows (status, activity log, progress, Statistics button, the run's page
// statistics) reaches the dialog on the dialog's own thread.
class WorkCycle {
  public:
    // settings are the dialog's, edited by its fields: each job takes them as they are when its
    // cycle starts, and each log line as they are when it is written.
    WorkCycle(MainDialogView& view, const Settings& settings);
    ~WorkCycle();
    WorkCycle(const WorkCycle&) = delete;
    WorkCycle& operator=(const WorkCycle&) = delete;

    void SetReaderPath(std::string quotedPath) { m_readerPath = std::move(quotedPath); }
    const std::string& readerPath() const { return m_readerPath; }

    void SetStatus(const std::string& text);
    // One line of the activity log, on screen and as the settings say in the log file.
    void Log(const std::string& message);

    // OK was accepted: the roots are fixed, and the first cycle starts at once.
    void Start();
    // A tick of the work timer; which timer it names does not matter.
    void OnTimer();
    // Stop in the progress window: the reading program is ended.
    void StopReader() { m_readerStopRequested = true; }
    // The dialog closes: the search gives up, a reading program still at work is ended and its
    // image left for the next start. Returns once the cycle has ended and every line is written.
    void Stop();

    bool running() const { return m_search.has_value(); }
    // A cycle is under way on the worker.
    bool cycleRunning() const { return m_cycleRunning; }
    // The progress window is up: the dialog does not close under the job.
    bool readerRunning() const { return m_readerRunning; }
    // Every page harvested in this run, in harvest order; only ever appended to.
    const PageStatsTable& pageStats() const { return m_pageStats; }

  private:
    class Observer;
    struct CycleEnd {
        int interval = kFirstInterval;  // until the next cycle
        std::optional<DocumentStatistics> statistics;
    };

    void RunWorkCycle();
    CycleEnd CycleOnWorker(std::stop_token stop, const Settings& settings);
    void TakeOutcome(const Candidate& candidate, JobResult result, CycleEnd& end);
    void EndCycle(CycleEnd end);
    // From the worker: runs action on the dialog's thread, after everything posted before it.
    void Post(std::function<void()> action);
    void PostLogLine(const std::string& message);

    MainDialogView& m_view;
    const Settings& m_settings;
    ActivityLog m_log;
    std::string m_readerPath;
    PageStatsTable m_pageStats;
    unsigned m_timerId = 0;
    bool m_cycleRunning = false;
    bool m_readerRunning = false;
    bool m_stopped = false;

    // Used by the cycle on the worker only, one cycle at a time.
    ImageClaims m_claims;
    std::optional<ImageSearch> m_search;
    DocumentRelease m_release;
    int m_interval = kFirstInterval;
    std::atomic<bool> m_readerStopRequested{false};

    PostedActions m_posted;
    // Shared with the wake-ups handed to the view, which may outlive the cycle.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    std::jthread m_worker;  // last: stopped and joined before anything it uses goes
};

}  // namespace quillrun::app
