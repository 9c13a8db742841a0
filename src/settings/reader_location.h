#pragma once

#include "engine/quillrun_members.h"

namespace quillrun {

inline constexpr const char* kReaderRegistrationKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Orlavex.exe";

// Finds the reading program through its application-path registration and sets m_readerPath to
// its path in double quotes. Returns 1 when found, else 0 (m_readerPath stays empty).
int LocateReader(QuillrunMembers& members);

}  // namespace quillrun
