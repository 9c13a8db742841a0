#include <windows.h>

#include "platform/file_readiness.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace quillrun::platform {
namespace {

// File times count 100-nanosecond ticks.
constexpr long long kTicksPerSecond = 10'000'000;

long long Ticks(const FILETIME& time) {
    return (static_cast<long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

bool ModifiedWithinQuietPeriod(const FILETIME& modified) {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const long long age = Ticks(now) - Ticks(modified);
    // A modification time in the future is clock skew between machines, not activity.
    return age >= 0 && age < kQuietPeriod.count() * kTicksPerSecond;
}

}  // namespace

bool IsFileReady(const std::string& path) {
    // Share mode 0: the open fails with a sharing violation while any other process (or this
    // one) has the file open, and keeps everybody else out while it lasts.
    const UniqueHandle file(::CreateFileW(ToWide(path).c_str(), GENERIC_READ, 0, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    return ::GetFileInformationByHandle(file.get(), &information) != 0 &&
           (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           !ModifiedWithinQuietPeriod(information.ftLastWriteTime);
}

}  // namespace quillrun::platform
