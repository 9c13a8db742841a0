#pragma once

#include <cstdint>
#include <string>

namespace quillrun {

// Numbers of the page statistics as every front end writes them, whatever the user's locale: Qt
// switches the C library to it, which would turn the decimal point into a comma for many users.

// "%d".
std::string NumberText(std::int64_t number);

// "%.2f": 96.45, 0.00, 100.00.
std::string ConfidenceText(float confidence);

}  // namespace quillrun
