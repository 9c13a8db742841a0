#include <limits>

#include <gtest/gtest.h>

#include "engine/statistics_line.h"

namespace quillrun {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

struct ScanCase {
    const char* line;
    int scanned;
    StatisticsFields fields;  // starting from 11, 22, 33, 44, 55
};

TEST(StatisticsLine, ScansLikeTheFiveNumberFormatAndKeepsFieldsItDoesNotReach) {
    const ScanCase cases[] = {
        {"600, 6, 9, 0, 0", 5, {600, 6, 9, 0, 0}},
        {"  600,6,\t 9,0,0 and more text", 5, {600, 6, 9, 0, 0}},
        {"+7, 3, 0, 1, 2", 5, {7, 3, 0, 1, 2}},
        {"7, -3, 0, 1, 2", 1, {7, 22, 33, 44, 55}},  // a count is never negative
        {"-5, 1, 2, 3, 4", 0, {11, 22, 33, 44, 55}},
        {"500, 5, 5", 3, {500, 5, 5, 44, 55}},
        {"500 ,5,5,0,0", 1, {500, 22, 33, 44, 55}},  // a blank before a comma stops the scan
        {"", 0, {11, 22, 33, 44, 55}},
        {"\r", 0, {11, 22, 33, 44, 55}},
        {"x, 1, 2, 3, 4", 0, {11, 22, 33, 44, 55}},
        {"- 5, 1", 0, {11, 22, 33, 44, 55}},
        {"1, 2, x", 2, {1, 2, 33, 44, 55}},
        {"0x10, 1", 1, {0, 22, 33, 44, 55}},
        // Numbers beyond 32 bits are clamped, however many digits they have.
        {"99999999999, 2147483648, 000000000000000000000000042", 3, {kMax, kMax, 42, 44, 55}},
    };
    for (const ScanCase& c : cases) {
        StatisticsFields fields{11, 22, 33, 44, 55};
        EXPECT_EQ(ScanStatisticsLine(c.line, fields), c.scanned) << '"' << c.line << '"';
        EXPECT_EQ(fields, c.fields) << '"' << c.line << '"';
    }
}

struct ConfidenceCase {
    std::int32_t characters, doubleWeight, singleWeight;
    float confidence;
};

TEST(StatisticsLine, ConfidenceIsTheNetShareInSinglePrecision) {
    const ConfidenceCase cases[] = {
        {600, 6, 9, 96.5f},
        {800, 20, 10, 93.75f},
        {0, 0, 0, 0.0f},
        {100, 2, 1, 95.0f},  // exactly the threshold: not poor
        {100, 2, 2, 94.0f},
        {10, 6, 0, 0.0f},  // net below zero
        {10, 5, 0, 0.0f},  // net zero
        {100, 0, 0, 100.0f},
        // The doubled count wraps to zero instead of overflowing.
        {100, kMin, 0, 100.0f},
        // The net wraps past the top of the range and comes out negative.
        {kMax, -1, 0, 0.0f},
    };
    for (const ConfidenceCase& c : cases) {
        EXPECT_EQ(ComputeConfidence(c.characters, c.doubleWeight, c.singleWeight), c.confidence)
            << c.characters << ", " << c.doubleWeight << ", " << c.singleWeight;
    }
    EXPECT_FALSE(ComputeConfidence(100, 2, 1) < kPoorConfidenceBelow);
    EXPECT_TRUE(ComputeConfidence(100, 2, 2) < kPoorConfidenceBelow);
    // Multiplication comes first, in single precision: 1/3 of the characters lost.
    EXPECT_EQ(ComputeConfidence(3, 0, 1), 2.0f * 100.0f / 3.0f);
}

}  // namespace
}  // namespace quillrun
