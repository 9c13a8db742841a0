#pragma once

#include <cstdint>
#include <string>

namespace quillrun::app {

// Cell texts of the Recognition Statistics list. They never depend on the user's locale: the
// decimal point is always a point, and the only grouping is the commas of the characters.

// "%d".
std::string FormatPageNumber(std::int32_t page);

// "%d" with a comma between every three digits from the right: 999, 1,000, 1,234,567. Negative
// counts are not grouped.
std::string FormatCharacterCount(std::int32_t characters);

// "%.2f": 96.45, 0.00, 100.00.
std::string FormatConfidence(float confidence);

}  // namespace quillrun::app
