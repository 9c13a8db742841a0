#pragma once

#include <cstdint>
#include <string>

namespace quillrun::app {

// Cell texts of the Recognition Statistics list. They never depend on the user's locale: the
// decimal point is always a point, and the only grouping is the one comma of the characters.

// "%d".
std::string FormatPageNumber(std::int32_t page);

// "%d" below 1000 (negative counts included); from 1000 on, the thousands, a comma and the
// remainder in three digits. Only one comma is ever inserted: one million shows as 1000,000.
std::string FormatCharacterCount(std::int32_t characters);

// "%.2f": 96.45, 0.00, 100.00.
std::string FormatConfidence(float confidence);

}  // namespace quillrun::app
