#pragma once

#include <string>
#include <string_view>

#include "platform/log_file.h"

namespace quillrun::platform {

// Appends records to a file that begins with a header line: when the file is new or empty, the
// header goes first. Everything is written in one piece under the same advisory lock that
// AppendToFile takes, so writers in this and other programs never interleave, and a reader that
// takes a shared lock on the file (flock -s) never sees half a record.
AppendResult AppendRecords(const std::string& path, std::string_view header,
                           std::string_view records);

}  // namespace quillrun::platform
