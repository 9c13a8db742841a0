#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "engine/page_stats.h"

namespace quillrun::test {

struct PageRecord {
    const char* fileName;
    int page;
    int characters;
    float confidence;
};

// The run's statistics holding these records, in this order. Neighbouring records of one file
// name are the pages of one document, as a harvest leaves them.
inline PageStatsTable PageRecords(const std::vector<PageRecord>& records) {
    PageStatsTable stats;
    const char* document = nullptr;
    for (const PageRecord& record : records) {
        if (document == nullptr || std::strcmp(document, record.fileName) != 0) {
            document = record.fileName;
            stats.AddDocument(document);
        }
        PageStats page;
        page.m_page = record.page;
        page.m_characters = record.characters;
        page.m_confidence = record.confidence;
        stats.AppendPage(page);
    }
    return stats;
}

}  // namespace quillrun::test
