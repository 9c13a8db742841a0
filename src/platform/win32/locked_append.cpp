#include <windows.h>

#include <chrono>
#include <thread>

#include "platform/system_error_win32.h"
#include "platform/win32/locked_append.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/write_all.h"

namespace quillrun::platform {
namespace {

// Another instance holds the file only for the time it takes to write one line.
constexpr auto kPatience = std::chrono::milliseconds(250);
constexpr auto kRetryPause = std::chrono::milliseconds(5);

// The lock reaches far beyond any end the file will have, without the range running past the
// largest offset, which the system refuses.
constexpr ULONGLONG kTailLength = 1ULL << 62;
constexpr DWORD kTailLengthLow = static_cast<DWORD>(kTailLength);
constexpr DWORD kTailLengthHigh = static_cast<DWORD>(kTailLength >> 32);

bool IsContention(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// Others may read the file while a line is appended, but nobody else may write it.
UniqueHandle OpenForAppending(const std::wstring& path, DWORD& error) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    for (;;) {
        UniqueHandle file(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        error = file ? ERROR_SUCCESS : ::GetLastError();
        if (file || !IsContention(error) || std::chrono::steady_clock::now() >= deadline) {
            return file;
        }
        std::this_thread::sleep_for(kRetryPause);
    }
}

// Locks the bytes from the present end (size) on, where the line goes: a reader of the file is
// never kept from what is already there, and never sees half a line.
bool LockTail(HANDLE file, OVERLAPPED& region, LARGE_INTEGER& size, DWORD& error) {
    if (!::GetFileSizeEx(file, &size)) {
        error = ::GetLastError();
        return false;
    }
    region.Offset = size.LowPart;
    region.OffsetHigh = static_cast<DWORD>(size.HighPart);
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    for (;;) {
        if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                         kTailLengthLow, kTailLengthHigh, &region)) {
            return true;
        }
        error = ::GetLastError();
        if (!IsContention(error) || std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(kRetryPause);
    }
}

}  // namespace

AppendResult AppendLocked(const std::string& path, std::string_view header,
                          std::string_view records) {
    DWORD error = ERROR_SUCCESS;
    const UniqueHandle file = OpenForAppending(ToWide(path), error);
    if (!file) {
        return {IsContention(error) ? AppendStatus::Busy : AppendStatus::NotOpened,
                SystemErrorFromWin32(error)};
    }
    OVERLAPPED region{};
    LARGE_INTEGER size{};
    if (!LockTail(file.get(), region, size, error)) {
        return {IsContention(error) ? AppendStatus::Busy : AppendStatus::NotOpened,
                SystemErrorFromWin32(error)};
    }
    // In one write with the records, so that no reader finds the header alone.
    std::string piece;
    if (size.QuadPart == 0 && !header.empty()) {
        piece.assign(header).append(records);
        records = piece;
    }
    error = WriteAllBytes(file.get(), records);
    ::UnlockFileEx(file.get(), 0, kTailLengthLow, kTailLengthHigh, &region);
    if (error != ERROR_SUCCESS) {
        return {AppendStatus::WriteFailed, SystemErrorFromWin32(error)};
    }
    return {AppendStatus::Appended, {}};
}

}  // namespace quillrun::platform
