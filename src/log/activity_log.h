#pragma once

#include <string>
#include <string_view>

namespace quillrun {

// Where the on-screen activity log lives: the host appends each line at the very end of the
// log view, whatever is selected there, and keeps the end in view.
class LogScreen {
  public:
    virtual ~LogScreen() = default;
    virtual void AppendLogText(const std::string& text) = 0;
};

// One activity-log line: the local time, the message and CR LF ("14:03:27:  text\r\n"). Control
// characters in the message (they come from file names and settings) are shown escaped, "\r",
// "\n", "\t", "\x1b", "\u009b", so that one event is always one line and nothing in a name
// reaches a terminal as a command.
std::string StampLogLine(const std::string& message);

// The text with its control characters escaped as StampLogLine shows them.
std::string EscapeControlCharacters(std::string_view text);

// Writes time-stamped lines to the screen and, when asked, appends the same bytes to a log file
// that is opened and closed again for every line. A line that finds the file locked by another
// writer for too long is kept, and written before the next line that gets the lock.
class ActivityLog {
  public:
    explicit ActivityLog(LogScreen& screen) : m_screen(screen) {}

    void Write(const std::string& message, bool writeToFile, const std::string& logPath);
    // Writes lines that already carry their stamps and line ends, held back while a job ran so
    // that they stay together: to the screen at once, to the log file in one piece.
    void WriteLines(const std::string& lines, bool writeToFile, const std::string& logPath);
    // The work ends: lines still kept from a locked log file are written now if they can be.
    void Flush();

  private:
    // Appends bytes to the file; false when another writer held it too long.
    bool Append(const std::string& logPath, const std::string& bytes);
    void ReportFileFailure(const std::string& logPath, const std::string& reason);

    LogScreen& m_screen;
    // A failing log file is reported on screen once, not with every line, until it works again.
    bool m_fileFailureReported = false;
    // Lines that found their file locked, and the file they belong to.
    std::string m_kept;
    std::string m_keptPath;
};

}  // namespace quillrun
