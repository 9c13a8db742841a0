#include "engine/quillrun_engine.h"

#include "engine/page_stats.h"
#include "platform/file_readiness.h"

namespace quillrun {

QuillrunEngine::QuillrunEngine(EngineHost& host) : m_host(host), m_activityLog(host) {
    ResetPageStats();
}

void QuillrunEngine::StartWork() {
    m_running = 1;
    RunWorkCycle();
}

void QuillrunEngine::OnTimer(unsigned /*timerId*/) {
    m_host.KillTimer(m_timerId);
    RunWorkCycle();
}

void QuillrunEngine::SetStatus(const std::string& text) {
    m_host.SetStatusText(text);
}

int QuillrunEngine::IsFileReady(const std::string& path) const {
    return platform::IsFileReady(path) ? 1 : 0;
}

void QuillrunEngine::LogActivity(const std::string& message) {
    m_activityLog.Write(message, m_writeLog != 0, m_logPath);
}

}  // namespace quillrun
