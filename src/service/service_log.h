#pragma once

#include <mutex>
#include <string>

#include "log/activity_log.h"

namespace quillrun::service {

// The service's activity log: standard output stands in for the dialog's log view, and the log
// file is written as the settings say. Jobs on several threads write through it; each job's
// lines arrive together and stay together, on standard output and in the file.
class ServiceLog : private LogScreen {
  public:
    ServiceLog(bool writeToFile, std::string logPath);
    // Lines kept from a locked log file are written before it goes.
    ~ServiceLog() override;

    // One line of the service's own.
    void Write(const std::string& message);
    // A job's stamped lines, written in one piece.
    void WriteLines(const std::string& lines);

  private:
    void AppendLogText(const std::string& text) override;

    std::mutex m_mutex;
    ActivityLog m_log;
    const bool m_writeToFile;
    const std::string m_logPath;
};

}  // namespace quillrun::service
