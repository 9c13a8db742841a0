#pragma once

#include <cstddef>
#include <vector>

#include "engine/page_stats.h"

namespace quillrun::app {

// The columns of the Recognition Statistics list, in their order.
enum PageStatsColumn : int {
    kFileNameColumn = 0,
    kPageColumn = 1,
    kCharactersColumn = 2,
    kConfidenceColumn = 3,
    kPageStatsColumnCount = 4,
};

// The confidence as the list sorts it: the hundredfold, in single precision, truncated toward
// zero, so that 96.447 and 96.442 sort together. Values beyond the range of int saturate.
int ConfidenceSortKey(float confidence);

// Orders two records of the run by one column of the list: negative, zero or positive when the
// first sorts before, together with or after the second. File names compare byte by byte as
// unsigned values (upper case before lower case); the numbers numerically on the stored values;
// any other column compares equal.
int ComparePageStatsRecords(const PageStatsTable& records, std::size_t first, std::size_t second,
                            int column);

// Sorts indexes into records ascending by the column. Records that compare equal keep their
// relative order.
void SortRecordIndexes(const PageStatsTable& records, std::vector<std::size_t>& indexes,
                       int column);

}  // namespace quillrun::app
