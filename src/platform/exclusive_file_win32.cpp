#include "platform/exclusive_file.h"

#include <windows.h>

#include "platform/system_error_win32.h"
#include "platform/win32/file_information.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/write_all.h"

namespace quillrun::platform {
namespace {

// A reader of a claim (the standard library's streams) opens it without FILE_SHARE_DELETE, and
// holds it for one short read: a removal that meets one tries again a few times.
constexpr int kRemoveAttempts = 50;
constexpr DWORD kRemoveRetryMs = 10;

FileStamp StampOf(const BY_HANDLE_FILE_INFORMATION& information) {
    return {information.dwVolumeSerialNumber, FileIndexOf(information),
            (TicksOf(information.ftLastWriteTime) - kTicksBefore1970) * 100};
}

std::optional<FileStamp> StampOf(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(file, &information)) {
        return std::nullopt;
    }
    return StampOf(information);
}

ExclusiveCreateResult Failure(DWORD error) {
    return {ExclusiveCreateStatus::Failed, {}, SystemErrorFromWin32(error)};
}

}  // namespace

std::optional<FileStamp> GetFileStamp(const std::string& path) {
    const UniqueHandle file = OpenForAttributes(path, false);
    return file ? StampOf(file.get()) : std::nullopt;
}

ExclusiveCreateResult CreateFileExclusively(const std::string& path, std::string_view content) {
    // CREATE_NEW is the exclusive create that SMB carries out on the server; it fails for
    // anything already at the name, a link to nowhere included. Others may read the file while
    // it is written, and remove it.
    UniqueHandle file(::CreateFileW(ToWide(path).c_str(), GENERIC_WRITE | DELETE,
                                    FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
            return {ExclusiveCreateStatus::AlreadyExists, {}, SystemErrorFromWin32(error)};
        }
        return Failure(error);
    }
    DWORD error = WriteAllBytes(file.get(), content);
    std::optional<FileStamp> stamp;
    if (error == ERROR_SUCCESS) {
        stamp = StampOf(file.get());
        if (!stamp) {
            error = ::GetLastError();
        }
    }
    if (!stamp) {
        // Removed through the handle that made it: nothing else can have taken the name since.
        FILE_DISPOSITION_INFO disposition{TRUE};
        ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition,
                                     sizeof disposition);
        return Failure(error);
    }
    if (!::CloseHandle(file.release())) {
        return Failure(::GetLastError());
    }
    return {ExclusiveCreateStatus::Created, *stamp, {}};
}

bool TouchFile(const std::string& path) {
    // Windows has no "now by the server's clock"; this machine's clock serves, since only a
    // change of the time is looked for, never its value against another clock.
    const UniqueHandle file(::CreateFileW(ToWide(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return file && ::SetFileTime(file.get(), nullptr, nullptr, &now);
}

bool RemoveFileIfSame(const std::string& path, const FileStamp& stamp) {
    // Checked and removed through one handle, so a file put at the name between the two steps
    // is left alone.
    const std::wstring widePath = ToWide(path);
    for (int attempt = 0; attempt < kRemoveAttempts; ++attempt) {
        const UniqueHandle file(::CreateFileW(
            widePath.c_str(), DELETE | FILE_READ_ATTRIBUTES,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
            FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!file) {
            if (::GetLastError() != ERROR_SHARING_VIOLATION) {
                return false;
            }
            ::Sleep(kRemoveRetryMs);
            continue;
        }
        const std::optional<FileStamp> current = StampOf(file.get());
        FILE_DISPOSITION_INFO disposition{TRUE};
        return current && current->sameFile(stamp) &&
               ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition,
                                            sizeof disposition);
    }
    return false;
}

}  // namespace quillrun::platform
