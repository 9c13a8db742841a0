#include "log/activity_log.h"

#include "platform/local_time.h"
#include "platform/log_file.h"

namespace quillrun {
namespace {

// At the end of the work a locked file is waited for a little longer than for one line.
constexpr int kFlushAttempts = 4;

}  // namespace

std::string StampLogLine(const std::string& message) {
    // A time that cannot be converted leaves the stamp empty rather than losing the line.
    return platform::FormatLogTimeStamp().value_or(std::string()) + message + "\r\n";
}

void ActivityLog::Write(const std::string& message, bool writeToFile, const std::string& logPath) {
    WriteLines(StampLogLine(message), writeToFile, logPath);
}

void ActivityLog::WriteLines(const std::string& lines, bool writeToFile,
                             const std::string& logPath) {
    m_screen.AppendLogText(lines);
    if (!writeToFile) {
        return;
    }
    // Kept lines go first, in one piece with these, so the file keeps the order in which the
    // lines were made. Kept for a file the user has since replaced, they get one more try there
    // and otherwise go to the new one: a line in the wrong file is better than none.
    if (!m_kept.empty() && m_keptPath != logPath && Append(m_keptPath, m_kept)) {
        m_kept.clear();
    }
    m_kept += lines;
    m_keptPath = logPath;
    if (Append(logPath, m_kept)) {
        m_kept.clear();
    }
}

void ActivityLog::Flush() {
    for (int attempt = 0; attempt < kFlushAttempts && !m_kept.empty(); ++attempt) {
        if (Append(m_keptPath, m_kept)) {
            m_kept.clear();
        }
    }
}

bool ActivityLog::Append(const std::string& logPath, const std::string& bytes) {
    const platform::AppendResult result = platform::AppendToFile(logPath, bytes);
    switch (result.status) {
        case platform::AppendStatus::Appended:
            m_fileFailureReported = false;
            return true;
        case platform::AppendStatus::Busy:
            // Another writer holds the file for the moment; that is no failure to report.
            return false;
        case platform::AppendStatus::NotOpened:
        case platform::AppendStatus::WriteFailed:
            ReportFileFailure(logPath, result.error.message);
            return true;  // the lines stay on screen only, as the report says
    }
    return true;
}

void ActivityLog::ReportFileFailure(const std::string& logPath, const std::string& reason) {
    if (m_fileFailureReported) {
        return;
    }
    m_fileFailureReported = true;
    m_screen.AppendLogText(StampLogLine("The log file " + logPath + " could not be written (" +
                                        reason +
                                        "). Lines are shown here only until it can be "
                                        "written again."));
}

}  // namespace quillrun
