#include "app/page_stats_list.h"

#include <numeric>

#include "app/page_stats_format.h"

namespace quillrun::app {

PageStatsList::PageStatsList(const PageStatsTable& records)
    : m_records(records), m_recordOfRow(records.size()) {
    std::iota(m_recordOfRow.begin(), m_recordOfRow.end(), std::size_t{0});
}

std::string PageStatsList::CellText(std::size_t row, int column) const {
    const PageStats& record = recordAt(row);
    switch (column) {
        case kFileNameColumn:
            return m_records.fileName(record);
        case kPageColumn:
            return FormatPageNumber(record.m_page);
        case kCharactersColumn:
            return FormatCharacterCount(record.m_characters);
        case kConfidenceColumn:
            return FormatConfidence(record.m_confidence);
        default:
            return {};
    }
}

void PageStatsList::SortByColumn(int column) {
    SortRecordIndexes(m_records, m_recordOfRow, column);
}

}  // namespace quillrun::app
