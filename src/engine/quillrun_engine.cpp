#include "engine/quillrun_engine.h"

#include "platform/file_readiness.h"

namespace quillrun {

QuillrunEngine::QuillrunEngine(EngineHost& host) : m_host(host), m_activityLog(host) {}

void QuillrunEngine::StartWork() {
    m_running = true;
    RunWorkCycle();
}

void QuillrunEngine::OnTimer(unsigned /*timerId*/) {
    m_host.KillTimer(m_timerId);
    RunWorkCycle();
}

void QuillrunEngine::SetStatus(const std::string& text) {
    m_host.SetStatusText(text);
}

bool QuillrunEngine::IsFileReady(const std::string& path) const {
    return platform::IsFileReady(path);
}

void QuillrunEngine::LogActivity(const std::string& message) {
    m_activityLog.Write(message, m_settings.writeLog, m_settings.logPath);
}

}  // namespace quillrun
