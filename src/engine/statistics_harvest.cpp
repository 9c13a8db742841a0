#include "engine/statistics_harvest.h"

#include "engine/job_observer.h"
#include "engine/line_reader.h"
#include "engine/statistics_line.h"
#include "platform/file_reader.h"
#include "platform/file_system.h"

namespace quillrun {
namespace {

// One record per line of the statistics file. A field a line does not supply keeps the previous
// line's value; before the first line every field is zero.
void ReadPageRecords(platform::FileReader& file, std::vector<PageStats>& pages) {
    PageStats record;
    StatisticsFields fields{};
    LineReader lines(file);
    std::string_view line;
    while (lines.next(line)) {
        ScanStatisticsLine(line, fields);
        record.m_characters = fields[0];
        record.m_doubleWeightCount = fields[1];
        record.m_singleWeightCount = fields[2];
        record.m_value4 = fields[3];
        record.m_value5 = fields[4];
        record.m_confidence = ComputeConfidence(fields[0], fields[1], fields[2]);
        record.m_page = static_cast<std::int32_t>(pages.size()) + 1;
        pages.push_back(record);
    }
}

}  // namespace

DocumentStatistics HarvestStatistics(const std::string& documentPath,
                                     const std::string& statisticsPath, JobObserver& log) {
    DocumentStatistics statistics{documentPath, {}};
    // Only a regular file is read, and opening it never waits: a pipe or a device in its place
    // is left alone rather than holding the work.
    platform::FileReader file(statisticsPath);
    if (file.isOpen()) {
        ReadPageRecords(file, statistics.pages);
        // The file has done its work; a failure to remove it changes nothing for the run.
        if (file.close()) {
            platform::RemoveFile(statisticsPath);
        }
    }
    log.Log(documentPath + " has been created.");
    const std::size_t pages = statistics.pages.size();
    if (pages == 0) {
        return statistics;
    }
    log.Log(pages == 1 ? std::string("It contains 1 page.")
                       : "It contains " + std::to_string(pages) + " pages.");
    std::size_t poorPages = 0;
    for (const PageStats& page : statistics.pages) {
        poorPages += page.m_confidence < kPoorConfidenceBelow ? 1 : 0;
    }
    if (poorPages == 1) {
        log.Log("1 page may have been poorly recognized.");
    } else if (poorPages > 1) {
        log.Log(std::to_string(poorPages) + " pages may have been poorly recognized.");
    }
    return statistics;
}

}  // namespace quillrun
