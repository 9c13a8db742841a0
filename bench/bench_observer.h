#pragma once

#include <string>

#include "engine/job_observer.h"
#include "log/activity_log.h"

namespace quillrun::bench {

// A job observer that costs what the dialog's handling of a job's lines would at least cost: each
// line is stamped and written as the activity log writes it, to an on-screen log that is one
// growing string (or nothing, where the log would only add its own memory to what is measured)
// and, when given one, to the log file.
class BenchObserver : public JobObserver, private LogScreen {
  public:
    enum class LogText { Keep, Discard };
    explicit BenchObserver(LogText logText = LogText::Keep, std::string logFile = {})
        : m_keepLog(logText == LogText::Keep), m_logFile(std::move(logFile)), m_log(*this) {}

    void Log(const std::string& message) override {
        m_log.Write(message, !m_logFile.empty(), m_logFile);
    }

    const std::string& log() const { return m_screen; }
    void clearLog() { m_screen.clear(); }

  private:
    void AppendLogText(const std::string& text) override {
        if (m_keepLog) {
            m_screen += text;
        }
    }

    bool m_keepLog;
    std::string m_logFile;
    std::string m_screen;
    ActivityLog m_log;
};

}  // namespace quillrun::bench
