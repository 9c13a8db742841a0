#pragma once

#include <optional>
#include <string>

namespace quillrun::platform {

// The current local time as strftime's "%X:  " gives it in the C locale ("14:03:27:  "),
// whatever locale the user interface has set. Empty when the time cannot be converted.
std::optional<std::string> FormatLogTimeStamp();

// The current local time for a file name, sorting as it runs: "20240131-140327". Empty when the
// time cannot be converted.
std::optional<std::string> FormatFileNameTimeStamp();

}  // namespace quillrun::platform
