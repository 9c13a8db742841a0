#include "engine/destination_names.h"
#include "engine/quillrun_engine.h"
#include "platform/file_system.h"
#include "platform/path_rules.h"

namespace quillrun {

void QuillrunEngine::RunWorkCycle() {
    // The previous document must be released before anything else happens; until then the
    // cycle only re-arms the timer.
    if (!PendingOutputBlocksSearch()) {
        ReleasePendingOutput();
        platform::TrimTrailingSeparator(m_settings.sourcePath);
        platform::TrimTrailingSeparator(m_settings.destPath);
        if (FindNextImage(m_settings.sourcePath)) {
            SetStatus(kStatusWorking);
            ConvertImage();
        } else {
            SetStatus(kStatusWaiting);
            m_interval = kLaterInterval;
        }
    } else if (m_pendingOutputWritten && !m_pendingOutputWaitLogged) {
        // Another program keeps the finished document open: the wait is by design, but without
        // a word it looks like a hang.
        LogActivity(m_pendingOutput + " is still in use; the work waits until it is released.");
        SetStatus(kStatusWaitingForDocument);
        m_pendingOutputWaitLogged = true;
    }
    m_timerId = m_host.ArmTimer(kWorkTimerId, m_interval);
}

void QuillrunEngine::ReleasePendingOutput() {
    if (m_pendingOutputWaitLogged) {
        LogActivity(m_pendingOutput + " has been released; the work goes on.");
    }
    m_pendingOutput.clear();
    m_pendingOutputWritten = false;
    m_pendingOutputWaitLogged = false;
}

bool QuillrunEngine::PendingOutputBlocksSearch() const {
    if (m_pendingOutput.empty() || IsFileReady(m_pendingOutput)) {
        return false;
    }
    // A document that was written and then removed (the destination cleared while the work
    // runs) would otherwise hold the engine for good.
    return !(m_pendingOutputWritten &&
             platform::GetPathKind(m_pendingOutput) == platform::PathKind::Missing);
}

}  // namespace quillrun
