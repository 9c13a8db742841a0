#include "platform/win32/file_information.h"

#include "platform/win32/wide_text.h"

namespace quillrun::platform {

UniqueHandle OpenForAttributes(const std::string& path, bool followLinks) {
    if (path.empty()) {
        return UniqueHandle();
    }
    const DWORD flags =
        FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    return UniqueHandle(::CreateFileW(ToWide(path).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, flags, nullptr));
}

std::uint64_t FileIndexOf(const BY_HANDLE_FILE_INFORMATION& information) {
    return (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) |
           information.nFileIndexLow;
}

bool IsLinkTag(DWORD reparseTag) {
    return reparseTag == IO_REPARSE_TAG_SYMLINK || reparseTag == IO_REPARSE_TAG_MOUNT_POINT;
}

std::chrono::system_clock::time_point TimeOfTicks(std::int64_t ticks) {
    using Ticks = std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>;
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            Ticks(ticks - kTicksBefore1970)));
}

std::int64_t TicksOf(const FILETIME& time) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                     time.dwLowDateTime);
}

}  // namespace quillrun::platform
