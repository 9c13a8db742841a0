#pragma once

#include <chrono>
#include <string>

namespace quillrun::platform {

// A writer on another machine holds no descriptor that this machine can see, so a file modified
// this recently is taken to be still in the making.
inline constexpr std::chrono::seconds kQuietPeriod{2};

// Ready means: the file exists, this user may read it, no process on this machine has it open,
// and it has not been modified within the quiet period. Every failure simply means "not ready".
bool IsFileReady(const std::string& path);

}  // namespace quillrun::platform
