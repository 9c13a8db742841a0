#pragma once

#include <string>
#include <vector>

#include "engine/engine_host.h"
#include "engine/quillrun_members.h"
#include "engine/search_memory.h"
#include "log/activity_log.h"
#include "platform/file_system.h"

namespace quillrun {

inline constexpr unsigned kWorkTimerId = 1;
inline constexpr const char* kStatusWorking = "Working";
inline constexpr const char* kStatusWaiting = "Waiting for work";
inline constexpr const char* kStatusCheckSettings = "Please check the settings and press OK";
// Shown when a job could not run at all and the engine takes no new image until restarted.
inline constexpr const char* kStatusStopped = "Stopped - the Activity Log says why";

// The conversion engine: the timer-driven work cycle, the search of the source hierarchy, the
// conversion of one image and the harvest of its statistics. It owns the dialog's shared members
// and reaches the window only through its host.
class QuillrunEngine : public QuillrunMembers {
  public:
    explicit QuillrunEngine(EngineHost& host);

    // The work starts: OK was accepted and the path controls are locked.
    void StartWork();
    // A tick of the work cycle's timer; which timer it names does not matter.
    void OnTimer(unsigned timerId);

    void RunWorkCycle();
    void SetStatus(const std::string& text);
    int IsFileReady(const std::string& path) const;

    int FindNextImage(const std::string& dir);
    int TestCandidate(const std::string& dir, const std::string& name);
    SearchMemory& GetSearchMemory() { return m_searchMemory; }

    void ConvertImage();
    int CreateFolderPath(const std::string& folder);

    void HarvestStatistics(const std::string& documentPath, const std::string& statisticsPath);

    void LogActivity(const std::string& message);

  private:
    bool PendingOutputBlocksSearch() const;
    bool PrepareDestinationFolder(const std::string& folder);
    void StopWork();
    void MarkImageFailed();

    EngineHost& m_host;
    ActivityLog m_activityLog;
    // The pending document was written by the last job (as opposed to a job that could not run).
    // Should it disappear before it is released, there is nothing left to wait for.
    bool m_pendingOutputWritten = false;
    // The folders on the search's current descent, so that a link back to one of them is not
    // followed round and round.
    std::vector<platform::FolderIdentity> m_descent;
    SearchMemory m_searchMemory;
};

}  // namespace quillrun
