#pragma once

#include <chrono>
#include <string>

namespace quillrun::app {

// How long the reading program has been at work, as the progress window shows it: "m:ss", and
// "h:mm:ss" from an hour on.
std::string FormatElapsed(std::chrono::milliseconds elapsed);

}  // namespace quillrun::app
