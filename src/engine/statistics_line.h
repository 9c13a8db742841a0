#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace quillrun {

// The five numbers of a statistics line, in file order.
using StatisticsFields = std::array<std::int32_t, 5>;

// Scans a line as the format "%d, %d, %d, %d, %d" does: white space may precede each number and
// follow each comma, a comma must follow each of the first four numbers directly, and text after
// the fifth is ignored. Every field is a count: a minus sign is a mismatch. Scanning stops at the
// first mismatch; the fields not reached keep their values. Numbers beyond the 32-bit range are
// clamped to it. Returns how many fields were set.
int ScanStatisticsLine(std::string_view line, StatisticsFields& fields);

// Confidence of a page in percent: (characters - 2 * doubleWeight - singleWeight) * 100 /
// characters in single precision, the difference taken in wrapping 32-bit arithmetic; 0 when
// there are no characters or the difference is not positive.
float ComputeConfidence(std::int32_t characters, std::int32_t doubleWeight,
                        std::int32_t singleWeight);

// Pages below this confidence are reported as possibly poorly recognized.
inline constexpr float kPoorConfidenceBelow = 95.0f;

}  // namespace quillrun
