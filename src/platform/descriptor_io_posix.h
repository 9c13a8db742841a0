#pragma once

#include <chrono>
#include <string_view>

namespace quillrun::platform {

// Writes every byte, going on after interruptions and short writes. Returns 0 when all arrived,
// else the errno of the failure (ENOSPC when the system took nothing without saying why).
int WriteAll(int fd, std::string_view bytes);

// Takes the advisory exclusive lock on the open file, trying again until patience has run out
// while another process holds it. Other failures give up at once; errno then says why.
bool LockExclusively(int fd, std::chrono::milliseconds patience);

}  // namespace quillrun::platform
