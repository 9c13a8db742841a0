#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/engine_host.h"
#include "engine/image_claims.h"
#include "engine/page_stats.h"
#include "engine/search_memory.h"
#include "log/activity_log.h"
#include "platform/file_system.h"
#include "settings/settings.h"

namespace quillrun {

inline constexpr unsigned kWorkTimerId = 1;
inline constexpr int kFirstInterval = 3000;  // until the first idle cycle or reader run
inline constexpr int kLaterInterval = 5000;

inline constexpr const char* kStatusWorking = "Working";
inline constexpr const char* kStatusWaiting = "Waiting for work";
inline constexpr const char* kStatusCheckSettings = "Please check the settings and press OK";
// Shown when a job could not run at all and the engine takes no new image until restarted.
inline constexpr const char* kStatusStopped = "Stopped - the Activity Log says why";
// Shown while the last document is still in use, as the activity log says.
inline constexpr const char* kStatusWaitingForDocument = "Waiting for a document to be released";

// What a document left by a reading program that the user stopped is renamed with.
inline constexpr const char* kStoppedDocumentSuffix = ".stopped";

// The conversion engine: the timer-driven work cycle, the search of the source hierarchy, the
// conversion of one image and the harvest of its statistics. It owns the settings of the run,
// the state of the work and the page statistics gathered, and reaches the window only through
// its host.
class QuillrunEngine {
  public:
    explicit QuillrunEngine(EngineHost& host);

    // The settings the next job and the next log line use. The main dialog's fields edit them
    // while the work runs; only the two roots are locked once it has started.
    Settings& settings() { return m_settings; }
    const Settings& settings() const { return m_settings; }

    // The reading program's executable path, enclosed in double quotes.
    const std::string& readerPath() const { return m_readerPath; }
    void SetReaderPath(std::string quotedPath) { m_readerPath = std::move(quotedPath); }

    // The claims this engine honours in its search and takes for its jobs: its own unless set.
    // Engines of one program that work side by side share one, so each sees what the others
    // have reserved.
    void SetImageClaims(std::shared_ptr<ImageClaims> claims) { m_claims = std::move(claims); }
    ImageClaims& imageClaims();

    // Every page harvested since the engine was made, in harvest order, with the documents they
    // belong to; only ever appended to, so a record's index is its identity for the whole run.
    const PageStatsTable& pageStats() const { return m_pageStats; }

    // True once the work has been started; it is never stopped again.
    bool running() const { return m_running; }
    const std::string& currentImage() const { return m_currentImage; }
    const std::string& pendingOutput() const { return m_pendingOutput; }
    int interval() const { return m_interval; }
    unsigned timerId() const { return m_timerId; }

    // The work starts: OK was accepted and the path controls are locked.
    void StartWork();
    // A tick of the work cycle's timer; which timer it names does not matter.
    void OnTimer(unsigned timerId);

    void RunWorkCycle();
    void SetStatus(const std::string& text);
    bool IsFileReady(const std::string& path) const;

    bool FindNextImage(const std::string& dir);
    bool TestCandidate(const std::string& dir, const std::string& name);
    // The search's choice: the image the next job converts and the document it is to produce.
    void AcceptImage(std::string image, std::string document);
    // Gives up waiting for the pending document, so that the next cycle searches again.
    void ReleasePendingOutput();
    SearchMemory& GetSearchMemory() { return m_searchMemory; }

    void ConvertImage();
    bool CreateFolderPath(const std::string& folder);

    void HarvestStatistics(const std::string& documentPath, const std::string& statisticsPath);

    void LogActivity(const std::string& message);

  private:
    bool PendingOutputBlocksSearch() const;
    bool PrepareDestinationFolder(const std::string& folder);
    void StopWork();
    void DiscardStoppedRun();
    void MarkImageFailed();
    std::optional<ImageClaim> ClaimPendingImage();
    bool LeaveInterruptedJob(const platform::ProgramRun& run, const ImageClaim& claim,
                             const std::string& statisticsPath);

    EngineHost& m_host;
    ActivityLog m_activityLog;
    Settings m_settings;
    std::string m_readerPath;
    PageStatsTable m_pageStats;
    std::shared_ptr<ImageClaims> m_claims;  // made when first needed

    bool m_running = false;
    std::string m_currentImage;
    // The document the current or last job is to produce; while set, no new search runs until
    // that document can be opened exclusively.
    std::string m_pendingOutput;
    int m_interval = kFirstInterval;
    unsigned m_timerId = 0;
    // The pending document was written by the last job (as opposed to a job that could not run).
    // Should it disappear before it is released, there is nothing left to wait for.
    bool m_pendingOutputWritten = false;
    // The activity log has said that the work waits for the pending document to be released.
    bool m_pendingOutputWaitLogged = false;
    // The folders on the search's current descent, so that a link back to one of them is not
    // followed round and round.
    std::vector<platform::FolderIdentity> m_descent;
    SearchMemory m_searchMemory;
};

}  // namespace quillrun
