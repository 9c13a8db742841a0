#pragma once

#include <string>
#include <string_view>

#include "platform/system_error.h"

namespace quillrun::platform {

enum class AppendStatus {
    Appended,
    Busy,         // another writer held the file a moment too long: nothing was written
    NotOpened,    // missing folder, no access, a folder or a device at the path
    WriteFailed,  // the file was opened but the bytes did not all reach it
};

struct AppendResult {
    AppendStatus status = AppendStatus::NotOpened;
    SystemError error;  // why it failed, when it did
};

// Appends bytes to the file, creating it when missing and never truncating it. Other programs
// may read it meanwhile; while a line is written an advisory lock keeps other writers out, so
// two instances never interleave within a line.
AppendResult AppendToFile(const std::string& path, std::string_view bytes);

}  // namespace quillrun::platform
