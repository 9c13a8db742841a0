#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "engine/page_stats.h"

namespace quillrun::service {

class ServiceLog;

inline constexpr std::string_view kPageStatisticsHeader = "document,page,characters,confidence\r\n";

// One CSV field: as it is when it holds nothing special, else in double quotes with each double
// quote doubled (RFC 4180). Path bytes pass unchanged.
std::string CsvField(std::string_view text);

// One CSV record per page: the document's path, the page number, the characters and the
// confidence with two decimals (as the Recognition Statistics window shows it), CR LF ended.
std::string FormatPageStatisticsCsv(const DocumentStatistics& statistics);

// The file given with --page-stats: each document's pages are appended in one piece, under the
// log file's kind of advisory lock, so that instances never interleave.
class PageStatisticsFile {
  public:
    PageStatisticsFile(std::string path, ServiceLog& log);

    // At the start: creates the file (with its header) when missing, and says why it cannot be
    // written when it cannot.
    std::optional<std::string> Open();
    // From any job's thread. A failure is logged once, until appending works again.
    void Append(const DocumentStatistics& pages);

  private:
    const std::string m_path;
    ServiceLog& m_log;
    std::mutex m_mutex;  // guards m_failureReported
    bool m_failureReported = false;
};

}  // namespace quillrun::service
