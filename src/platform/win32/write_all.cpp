#include "platform/win32/write_all.h"

#include <algorithm>
#include <cstddef>

namespace quillrun::platform {

DWORD WriteAllBytes(HANDLE file, std::string_view bytes) {
    constexpr std::size_t kLargestPiece = 0x10000000;
    while (!bytes.empty()) {
        const auto piece = static_cast<DWORD>(std::min(bytes.size(), kLargestPiece));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), piece, &written, nullptr)) {
            return ::GetLastError();
        }
        if (written == 0) {
            return ERROR_HANDLE_DISK_FULL;
        }
        bytes.remove_prefix(written);
    }
    return ERROR_SUCCESS;
}

}  // namespace quillrun::platform
