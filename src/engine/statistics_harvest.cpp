#include "engine/line_reader.h"
#include "engine/page_stats.h"
#include "engine/quillrun_engine.h"
#include "engine/statistics_line.h"
#include "platform/file_reader.h"
#include "platform/file_system.h"

namespace quillrun {
namespace {

struct HarvestCounts {
    int pages = 0;
    int poorPages = 0;
};

// Appends one record per line of the statistics file. A field a line does not supply keeps the
// previous line's value; before the first line every field is zero.
HarvestCounts AppendPageRecords(platform::FileReader& file, const std::string& documentPath,
                                PageStatsTable& pageStats) {
    HarvestCounts counts;
    PageStats record;
    StatisticsFields fields{};
    LineReader lines(file);
    std::string_view line;
    while (lines.next(line)) {
        if (counts.pages == 0) {
            pageStats.AddDocument(documentPath);
        }
        ScanStatisticsLine(line, fields);
        record.m_characters = fields[0];
        record.m_doubleWeightCount = fields[1];
        record.m_singleWeightCount = fields[2];
        record.m_value4 = fields[3];
        record.m_value5 = fields[4];
        record.m_confidence = ComputeConfidence(fields[0], fields[1], fields[2]);
        record.m_page = ++counts.pages;
        if (record.m_confidence < kPoorConfidenceBelow) {
            ++counts.poorPages;
        }
        pageStats.AppendPage(record);
    }
    return counts;
}

}  // namespace

void QuillrunEngine::HarvestStatistics(const std::string& documentPath,
                                       const std::string& statisticsPath) {
    HarvestCounts counts;
    // Only a regular file is read, and opening it never waits: a pipe or a device in its place
    // is left alone rather than holding the work.
    platform::FileReader file(statisticsPath);
    if (file.isOpen()) {
        counts = AppendPageRecords(file, documentPath, m_pageStats);
        // The file has done its work; a failure to remove it changes nothing for the run.
        if (file.close()) {
            platform::RemoveFile(statisticsPath);
        }
    }
    LogActivity(documentPath + " has been created.");
    if (counts.pages == 0) {
        return;
    }
    LogActivity(counts.pages == 1 ? std::string("It contains 1 page.")
                                  : "It contains " + std::to_string(counts.pages) + " pages.");
    if (counts.poorPages == 1) {
        LogActivity("1 page may have been poorly recognized.");
    } else if (counts.poorPages > 1) {
        LogActivity(std::to_string(counts.poorPages) + " pages may have been poorly recognized.");
    }
    m_host.EnableStatisticsButton();
}

}  // namespace quillrun
