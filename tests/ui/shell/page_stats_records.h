#pragma once

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

// Replaces the run's statistics with these records, in this order, and empties them again when
// the test ends.
class PageStatsFixtureRecords {
  public:
    explicit PageStatsFixtureRecords(const std::vector<PageRecord>& records) {
        ResetPageStats();
        for (const PageRecord& record : records) {
            PageStats stats;
            stats.m_fileName = record.fileName;
            stats.m_page = record.page;
            stats.m_characters = record.characters;
            stats.m_confidence = record.confidence;
            g_pageStats.push_back(stats);
        }
    }
    ~PageStatsFixtureRecords() { ResetPageStats(); }
    PageStatsFixtureRecords(const PageStatsFixtureRecords&) = delete;
    PageStatsFixtureRecords& operator=(const PageStatsFixtureRecords&) = delete;
};

}  // namespace quillrun::test
