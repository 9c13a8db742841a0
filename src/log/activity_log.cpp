#include "log/activity_log.h"

#include "platform/local_time.h"
#include "platform/log_file.h"

namespace quillrun {
namespace {

// At the end of the work a locked file is waited for a little longer than for one line.
constexpr int kFlushAttempts = 4;

}  // namespace

std::string EscapeControlCharacters(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        // U+0080 to U+009F in UTF-8: the C1 controls, which terminals act on as well.
        const bool c1 = byte == 0xC2 && i + 1 < text.size() &&
                        static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (byte == '\r') {
            shown += "\\r";
        } else if (byte == '\n') {
            shown += "\\n";
        } else if (byte == '\t') {
            shown += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
        } else if (c1) {
            const auto code = static_cast<unsigned char>(text[++i]);
            shown += {'\\', 'u', '0', '0', kHex[code >> 4], kHex[code & 0xF]};
        } else {
            shown += text[i];
        }
    }
    return shown;
}

std::string StampLogLine(const std::string& message) {
    // A time that cannot be converted leaves the stamp empty rather than losing the line.
    return platform::FormatLogTimeStamp().value_or(std::string()) +
           EscapeControlCharacters(message) + "\r\n";
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
