#include <climits>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "app/page_stats_compare.h"
#include "app/page_stats_format.h"
#include "app/page_stats_list.h"
#include "page_stats_records.h"

namespace quillrun::app {
namespace {

struct CharactersCase {
    std::int32_t count;
    const char* text;
};

TEST(PageStatsFormat, CharactersAreGroupedByThousands) {
    const CharactersCase cases[] = {
        {0, "0"},
        {999, "999"},
        {1000, "1,000"},
        {1005, "1,005"},
        {12345, "12,345"},
        {999999, "999,999"},
        {1000000, "1,000,000"},
        {1000001, "1,000,001"},
        {12345678, "12,345,678"},
        {INT32_MAX, "2,147,483,647"},
        {-1, "-1"},
        {-1000, "-1000"},
        {-12345, "-12345"},
        {-1234567, "-1234567"},
        {INT32_MIN, "-2147483648"},
    };
    for (const CharactersCase& c : cases) {
        EXPECT_EQ(FormatCharacterCount(c.count), c.text) << c.count;
    }
}

struct ConfidenceCase {
    float confidence;
    const char* text;
};

TEST(PageStatsFormat, ConfidenceHasTwoDecimalsAndAPoint) {
    const ConfidenceCase cases[] = {
        {0.0f, "0.00"},     {100.0f, "100.00"}, {96.5f, "96.50"},
        {96.447f, "96.45"}, {96.442f, "96.44"}, {93.75f, "93.75"},
        {95.0f, "95.00"},   {-4.5f, "-4.50"},   {1.0e9f, "1000000000.00"},
    };
    for (const ConfidenceCase& c : cases) {
        EXPECT_EQ(FormatConfidence(c.confidence), c.text) << c.confidence;
    }
    EXPECT_EQ(FormatPageNumber(7), "7");
    EXPECT_EQ(FormatPageNumber(-3), "-3");
}

// Each case is two records and the sign their comparison must give in one column.
struct OrderCase {
    const char* what;
    int column;
    test::PageRecord first;
    test::PageRecord second;
    int expectedSign;
};

int Sign(int value) {
    return (value > 0) - (value < 0);
}

TEST(PageStatsOrder, ComparesEachColumnAsItsValues) {
    const OrderCase cases[] = {
        {"999 before 1,000 (numbers, not texts)",
         kCharactersColumn,
         {"a", 1, 999, 0},
         {"a", 1, 1000, 0},
         -1},
        {"12,345 after 1,005", kCharactersColumn, {"a", 1, 12345, 0}, {"a", 1, 1005, 0}, 1},
        {"negative counts first", kCharactersColumn, {"a", 1, -5, 0}, {"a", 1, 0, 0}, -1},
        {"extreme counts do not overflow",
         kCharactersColumn,
         {"a", 1, INT32_MIN, 0},
         {"a", 1, INT32_MAX, 0},
         -1},
        {"page 2 after page 10? no: numeric", kPageColumn, {"a", 2, 0, 0}, {"a", 10, 0, 0}, -1},
        {"same page", kPageColumn, {"a", 3, 0, 0}, {"b", 3, 0, 0}, 0},
        {"96.447 and 96.442 together",
         kConfidenceColumn,
         {"a", 1, 0, 96.447f},
         {"b", 2, 0, 96.442f},
         0},
        {"96.45 after 96.44", kConfidenceColumn, {"a", 1, 0, 96.45f}, {"b", 2, 0, 96.44f}, 1},
        {"0.00 before 100.00", kConfidenceColumn, {"a", 1, 0, 0.0f}, {"b", 2, 0, 100.0f}, -1},
        {"truncated, not rounded: 94.999 before 95",
         kConfidenceColumn,
         {"a", 1, 0, 94.999f},
         {"b", 1, 0, 95.0f},
         -1},
        {"negative confidences truncate toward zero",
         kConfidenceColumn,
         {"a", 1, 0, -0.004f},
         {"b", 1, 0, 0.0f},
         0},
        {"huge confidences saturate instead of overflowing",
         kConfidenceColumn,
         {"a", 1, 0, 3.0e10f},
         {"b", 1, 0, 1.0e30f},
         0},
        {"upper case before lower case",
         kFileNameColumn,
         {"/out/Z.orx", 1, 0, 0},
         {"/out/a.orx", 1, 0, 0},
         -1},
        {"bytes from 0x80 on after ASCII",
         kFileNameColumn,
         {"/out/\xc3\xa9.orx", 1, 0, 0},
         {"/out/z.orx", 1, 0, 0},
         1},
        {"0xff after 0x80", kFileNameColumn, {"/out/\xff", 1, 0, 0}, {"/out/\x80", 1, 0, 0}, 1},
        {"a prefix sorts first", kFileNameColumn, {"/out/a", 1, 0, 0}, {"/out/a.orx", 1, 0, 0}, -1},
        {"equal names", kFileNameColumn, {"/out/a.orx", 1, 5, 0}, {"/out/a.orx", 2, 9, 0}, 0},
        {"another column: always equal", 4, {"a", 1, 1, 1}, {"b", 2, 2, 2}, 0},
        {"negative column: always equal", -1, {"a", 1, 1, 1}, {"b", 2, 2, 2}, 0},
    };
    for (const OrderCase& c : cases) {
        const PageStatsTable records = test::PageRecords({c.first, c.second});
        EXPECT_EQ(Sign(ComparePageStatsRecords(records, 0, 1, c.column)), c.expectedSign) << c.what;
        EXPECT_EQ(Sign(ComparePageStatsRecords(records, 1, 0, c.column)), -c.expectedSign)
            << c.what;
    }
}

TEST(PageStatsOrder, SortingIsAscendingAndKeepsEqualRecordsInPlace) {
    const PageStatsTable records = test::PageRecords({
        {"/out/b.orx", 1, 1000, 96.442f},
        {"/out/B.orx", 2, 999, 50.0f},
        {"/out/a.orx", 1, 12345, 96.447f},
        {"/out/b.orx", 2, 0, 0.0f},
    });
    struct SortCase {
        int column;
        std::vector<std::size_t> order;
    };
    const SortCase cases[] = {
        {kFileNameColumn, {1, 2, 0, 3}},
        {kPageColumn, {0, 2, 1, 3}},
        {kCharactersColumn, {3, 1, 0, 2}},
        {kConfidenceColumn, {3, 1, 0, 2}},
        {7, {0, 1, 2, 3}},
    };
    for (const SortCase& c : cases) {
        PageStatsList list(records);
        const auto order = [&list] {
            std::vector<std::size_t> indexes;
            for (std::size_t row = 0; row < list.rowCount(); ++row) {
                indexes.push_back(list.recordIndexAt(row));
            }
            return indexes;
        };
        list.SortByColumn(c.column);
        EXPECT_EQ(order(), c.order) << "column " << c.column;
        // A second click on the same heading gives the same order.
        list.SortByColumn(c.column);
        EXPECT_EQ(order(), c.order) << "column " << c.column << " again";
    }
}

}  // namespace
}  // namespace quillrun::app
