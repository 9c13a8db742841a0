#include "platform/log_file.h"

#include "platform/win32/locked_append.h"

namespace quillrun::platform {

AppendResult AppendToFile(const std::string& path, std::string_view bytes) {
    return AppendLocked(path, {}, bytes);
}

}  // namespace quillrun::platform
