#include "platform/record_file.h"

#include "platform/win32/locked_append.h"

namespace quillrun::platform {

// On Windows the file is opened for this one writer only, and readers are kept out of the bytes
// being written by the lock on the tail (LockFileEx), which every reader's ReadFile respects.
AppendResult AppendRecords(const std::string& path, std::string_view header,
                           std::string_view records) {
    return AppendLocked(path, header, records);
}

}  // namespace quillrun::platform
