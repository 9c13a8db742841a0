#include "engine/destination_names.h"
#include "engine/quillrun_engine.h"

namespace quillrun {

void QuillrunEngine::RunWorkCycle() {
    // The previous document must be released before anything else happens; until then the
    // cycle only re-arms the timer.
    if (m_pendingOutput.empty() || IsFileReady(m_pendingOutput)) {
        m_pendingOutput.clear();
        RemoveTrailingSeparator(m_sourcePath);
        RemoveTrailingSeparator(m_destPath);
        if (FindNextImage(m_sourcePath)) {
            SetStatus(kStatusWorking);
            ConvertImage();
        } else {
            SetStatus(kStatusWaiting);
            m_interval = kLaterInterval;
        }
    }
    m_timerId = m_host.ArmTimer(kWorkTimerId, m_interval);
}

}  // namespace quillrun
