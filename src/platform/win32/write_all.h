#pragma once

#include <windows.h>

#include <string_view>

namespace quillrun::platform {

// Writes every byte to the file, in pieces that WriteFile's DWORD count can carry. Returns
// ERROR_SUCCESS, or why not; a write that takes no bytes at all counts as a full disk, since the
// system then leaves no error of its own to read.
DWORD WriteAllBytes(HANDLE file, std::string_view bytes);

}  // namespace quillrun::platform
