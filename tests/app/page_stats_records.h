#pragma once

#include <memory>
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

// The run's statistics holding these records, in this order.
inline std::vector<PageStats> PageRecords(const std::vector<PageRecord>& records) {
    std::vector<PageStats> stats;
    for (const PageRecord& record : records) {
        PageStats page;
        page.m_fileName = std::make_shared<const std::string>(record.fileName);
        page.m_page = record.page;
        page.m_characters = record.characters;
        page.m_confidence = record.confidence;
        stats.push_back(page);
    }
    return stats;
}

}  // namespace quillrun::test
