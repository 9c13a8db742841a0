#pragma once

#include <string>

#include "engine/engine_host.h"

namespace quillrun::bench {

// A host without a display that costs what a window's bookkeeping would at least cost: the
// status text is kept and the on-screen log is one growing string (or nothing, where the log
// would only add its own memory to what is measured).
class BenchHost : public EngineHost {
  public:
    enum class LogText { Keep, Discard };
    explicit BenchHost(LogText logText = LogText::Keep) : m_keepLog(logText == LogText::Keep) {}

    void SetStatusText(const std::string& text) override { m_status = text; }
    void AppendLogText(const std::string& text) override {
        if (m_keepLog) {
            m_log += text;
        }
    }
    unsigned ArmTimer(unsigned timerId, int /*intervalMs*/) override { return timerId; }
    void KillTimer(unsigned /*timerId*/) override {}
    void EnableStatisticsButton() override {}

    const std::string& status() const { return m_status; }
    const std::string& log() const { return m_log; }
    void clearLog() { m_log.clear(); }

  private:
    bool m_keepLog;
    std::string m_status;
    std::string m_log;
};

}  // namespace quillrun::bench
