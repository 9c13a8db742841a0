#include "service/page_statistics_csv.h"

#include "engine/page_stats_text.h"
#include "platform/record_file.h"
#include "service/service_log.h"

namespace quillrun::service {
namespace {

// Blanks at either end are quoted too, since many readers of CSV trim them otherwise.
bool NeedsQuotes(std::string_view text) {
    return text.find_first_of(",\"\r\n") != std::string_view::npos ||
           (!text.empty() && (text.front() == ' ' || text.back() == ' '));
}

}  // namespace

std::string CsvField(std::string_view text) {
    if (!NeedsQuotes(text)) {
        return std::string(text);
    }
    std::string field = "\"";
    for (const char c : text) {
        field += c;
        if (c == '"') {
            field += '"';
        }
    }
    return field + "\"";
}

std::string FormatPageStatisticsCsv(const DocumentStatistics& statistics) {
    const std::string document = CsvField(statistics.document);
    std::string records;
    for (const PageStats& page : statistics.pages) {
        records += document + "," + NumberText(page.m_page) + "," + NumberText(page.m_characters) +
                   "," + ConfidenceText(page.m_confidence) + "\r\n";
    }
    return records;
}

PageStatisticsFile::PageStatisticsFile(std::string path, ServiceLog& log)
    : m_path(std::move(path)), m_log(log) {}

std::optional<std::string> PageStatisticsFile::Open() {
    const platform::AppendResult result =
        platform::AppendRecords(m_path, kPageStatisticsHeader, "");
    if (result.status == platform::AppendStatus::Appended) {
        return std::nullopt;
    }
    return "The page statistics file " + m_path + " cannot be written: " + result.error.message +
           ".";
}

void PageStatisticsFile::Append(const DocumentStatistics& pages) {
    if (pages.pages.empty()) {
        return;
    }
    const platform::AppendResult result =
        platform::AppendRecords(m_path, kPageStatisticsHeader, FormatPageStatisticsCsv(pages));
    const bool failed = result.status != platform::AppendStatus::Appended;
    {
        const std::lock_guard lock(m_mutex);
        const bool report = failed && !m_failureReported;
        m_failureReported = failed;
        if (!report) {
            return;
        }
    }
    m_log.Write("The page statistics of " + pages.document + " could not be added to " + m_path +
                " (" + result.error.message +
                "). Further failures are not reported until it works again.");
}

}  // namespace quillrun::service
