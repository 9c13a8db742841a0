#include "engine/page_stats.h"

#include <gtest/gtest.h>

#include <string>

namespace quillrun::test {
namespace {

// A long run fills many blocks of pages: every page is found again by its index and by
// iteration, in harvest order, with its own document's path, and a page already handed out is
// not moved by the pages that follow it.
TEST(PageStatsTable, PagesAcrossBlocksKeepTheirPlaceAndTheirDocument) {
    constexpr int kPages = 10'000;  // beyond two blocks
    constexpr int kPagesPerDocument = 7;
    PageStatsTable table;
    const PageStats* first = nullptr;
    for (int page = 0; page < kPages; ++page) {
        if (page % kPagesPerDocument == 0) {
            table.AddDocument("/out/doc-" + std::to_string(page / kPagesPerDocument) + ".orx");
        }
        PageStats stats;
        stats.m_characters = page;
        table.AppendPage(stats);
        if (first == nullptr) {
            first = &table[0];
        }
    }
    ASSERT_EQ(table.size(), static_cast<std::size_t>(kPages));
    EXPECT_EQ(first, &table[0]);
    int expected = 0;
    for (const PageStats& stats : table) {
        ASSERT_EQ(stats.m_characters, expected);
        ASSERT_EQ(&stats, &table[static_cast<std::size_t>(expected)]);
        ASSERT_EQ(table.fileName(stats),
                  "/out/doc-" + std::to_string(expected / kPagesPerDocument) + ".orx");
        ++expected;
    }
    EXPECT_EQ(expected, kPages);
}

}  // namespace
}  // namespace quillrun::test
