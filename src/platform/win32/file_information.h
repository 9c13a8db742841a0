#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "platform/win32/unique_handle.h"

namespace quillrun::platform {

// Opens a file or a folder only to read its attributes and times: folders open only with backup
// semantics, and every kind of sharing is allowed so that no writer, reader or deleter is ever
// in the way. Links are followed unless told otherwise.
UniqueHandle OpenForAttributes(const std::string& path, bool followLinks = true);

// A file's number on its volume, from nFileIndexHigh and nFileIndexLow.
std::uint64_t FileIndexOf(const BY_HANDLE_FILE_INFORMATION& information);

// Whether a reparse point of this tag makes its entry a link: symbolic links and junctions
// (mount points). Other tags (cloud placeholders, deduplicated files) are ordinary entries.
bool IsLinkTag(DWORD reparseTag);

// FILETIME ticks (100 ns since 1601, UTC) against the Unix epoch.
constexpr std::int64_t kTicksBefore1970 = 116444736000000000LL;
std::chrono::system_clock::time_point TimeOfTicks(std::int64_t ticks);
std::int64_t TicksOf(const FILETIME& time);

}  // namespace quillrun::platform
