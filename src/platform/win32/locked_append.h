#pragma once

#include <string>
#include <string_view>

#include "platform/log_file.h"

namespace quillrun::platform {

// Appends records to the file under a byte-range lock on its tail, creating it when missing; a
// file that is empty gets the header first, in the same write. What the log file and the record
// files share on Windows.
AppendResult AppendLocked(const std::string& path, std::string_view header,
                          std::string_view records);

}  // namespace quillrun::platform
