#pragma once

#include <string>

namespace quillrun::platform {

// The system's own words for a Win32 error code (GetLastError, a registry call's result), as
// FormatMessageW gives them, without the line end; the number alone when the system has none.
std::string SystemErrorText(unsigned long code);

}  // namespace quillrun::platform
