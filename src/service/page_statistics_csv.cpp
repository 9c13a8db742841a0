#include "service/page_statistics_csv.h"

#include <array>
#include <charconv>

#include "platform/record_file.h"
#include "service/service_log.h"

namespace quillrun::service {
namespace {

template <typename Number, typename... Format>
std::string ToText(Number value, Format... format) {
    std::array<char, 64> buffer{};
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format...);
    return std::string(buffer.data(), result.ptr);
}

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

std::string FormatPageStatisticsCsv(const PageStatsTable& pages) {
    std::string records;
    for (const PageStats& page : pages) {
        records += CsvField(pages.fileName(page)) + "," + ToText(page.m_page) + "," +
                   ToText(page.m_characters) + "," +
                   ToText(static_cast<double>(page.m_confidence), std::chars_format::fixed, 2) +
                   "\r\n";
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

void PageStatisticsFile::Append(const PageStatsTable& pages) {
    if (pages.empty()) {
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
    m_log.Write("The page statistics of " + pages.fileName(pages[0]) + " could not be added to " +
                m_path + " (" + result.error.message +
                "). Further failures are not reported until it works again.");
}

}  // namespace quillrun::service
