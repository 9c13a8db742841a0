#pragma once

namespace quillrun {

// Where a reading program records itself for Quillrun: the default value of this key of the
// machine's registry holds the executable's full path. Shared by Quillrun, which reads it, and
// by a reading program's installer, which writes it.
inline constexpr const char* kReaderRegistrationKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Orlavex.exe";

}  // namespace quillrun
