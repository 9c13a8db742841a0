#include "service/service_log.h"

#include <cstdio>

namespace quillrun::service {

ServiceLog::ServiceLog(bool writeToFile, std::string logPath)
    : m_log(*this), m_writeToFile(writeToFile), m_logPath(std::move(logPath)) {}

ServiceLog::~ServiceLog() {
    m_log.Flush();
}

void ServiceLog::Write(const std::string& message) {
    const std::lock_guard lock(m_mutex);
    m_log.Write(message, m_writeToFile, m_logPath);
}

void ServiceLog::WriteLines(const std::string& lines) {
    if (lines.empty()) {
        return;
    }
    const std::lock_guard lock(m_mutex);
    m_log.WriteLines(lines, m_writeToFile, m_logPath);
}

// The journal splits standard output at line feeds and keeps a line with a carriage return as
// binary data, so the lines end in a plain line feed here; the log file keeps CR LF.
void ServiceLog::AppendLogText(const std::string& text) {
    std::string lines;
    lines.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            lines += text[i];
        }
    }
    // Nobody to tell when standard output has gone away; the log file goes on being written.
    std::fwrite(lines.data(), 1, lines.size(), stdout);
    std::fflush(stdout);
}

}  // namespace quillrun::service
