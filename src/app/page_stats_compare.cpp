#include "app/page_stats_compare.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace quillrun::app {
namespace {

// Three-way comparison without subtraction, which could overflow at the ends of the range.
template <typename Number>
int CompareNumbers(Number first, Number second) {
    return first < second ? -1 : (second < first ? 1 : 0);
}

int CompareFileNames(const PageStatsTable& records, const PageStats& first,
                     const PageStats& second) {
    // The pages of one document name it by the same index: no need to look at its path.
    if (first.m_document == second.m_document) {
        return 0;
    }
    const int result =
        std::strcmp(records.fileName(first).c_str(), records.fileName(second).c_str());
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

}  // namespace

int ConfidenceSortKey(float confidence) {
    const float hundredfold = confidence * 100.0f;
    // A statistics line with negative counts can give a confidence far above 100; converting a
    // value that does not fit an int would be undefined.
    if (!(hundredfold < 2147483648.0f)) {
        return hundredfold != hundredfold ? 0 : INT_MAX;
    }
    if (hundredfold <= -2147483648.0f) {
        return INT_MIN;
    }
    return static_cast<int>(hundredfold);
}

int ComparePageStatsRecords(const PageStatsTable& records, std::size_t firstRecord,
                            std::size_t secondRecord, int column) {
    const PageStats& first = records[firstRecord];
    const PageStats& second = records[secondRecord];
    switch (column) {
        case kFileNameColumn:
            return CompareFileNames(records, first, second);
        case kPageColumn:
            return CompareNumbers(first.m_page, second.m_page);
        case kCharactersColumn:
            return CompareNumbers(first.m_characters, second.m_characters);
        case kConfidenceColumn:
            return CompareNumbers(ConfidenceSortKey(first.m_confidence),
                                  ConfidenceSortKey(second.m_confidence));
        default:
            return 0;
    }
}

void SortRecordIndexes(const PageStatsTable& records, std::vector<std::size_t>& indexes,
                       int column) {
    std::stable_sort(indexes.begin(), indexes.end(),
                     [&records, column](std::size_t a, std::size_t b) {
                         return ComparePageStatsRecords(records, a, b, column) < 0;
                     });
}

}  // namespace quillrun::app
