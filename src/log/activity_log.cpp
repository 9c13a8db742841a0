#include "log/activity_log.h"

#include "platform/local_time.h"
#include "platform/log_file.h"

namespace quillrun {
namespace {

std::string MakeLine(const std::string& message) {
    // A time that cannot be converted leaves the stamp empty rather than losing the line.
    return platform::FormatLogTimeStamp().value_or(std::string()) + message + "\r\n";
}

}  // namespace

void ActivityLog::Write(const std::string& message, bool writeToFile, const std::string& logPath) {
    WriteLines(MakeLine(message), writeToFile, logPath);
}

void ActivityLog::WriteLines(const std::string& line, bool writeToFile,
                             const std::string& logPath) {
    m_screen.AppendLogText(line);
    if (!writeToFile) {
        return;
    }
    const platform::AppendResult result = platform::AppendToFile(logPath, line);
    switch (result.status) {
        case platform::AppendStatus::Appended:
            m_fileFailureReported = false;
            break;
        case platform::AppendStatus::Busy:
            // Another writer holds the file for the moment: this line stays on screen only, and
            // the next line tries again.
            break;
        case platform::AppendStatus::NotOpened:
        case platform::AppendStatus::WriteFailed:
            ReportFileFailure(logPath, result.error.message);
            break;
    }
}

void ActivityLog::ReportFileFailure(const std::string& logPath, const std::string& reason) {
    if (m_fileFailureReported) {
        return;
    }
    m_fileFailureReported = true;
    m_screen.AppendLogText(MakeLine("The log file " + logPath + " could not be written (" + reason +
                                    "). Lines are shown here only until it can be written again."));
}

}  // namespace quillrun
