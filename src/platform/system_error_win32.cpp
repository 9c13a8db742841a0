#include "platform/system_error_win32.h"

#include <windows.h>

#include <memory>

#include "platform/win32/wide_text.h"

namespace quillrun::platform {
namespace {

SystemErrorCode CodeOf(DWORD code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return SystemErrorCode::NotFound;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_PRIVILEGE_NOT_HELD:
            return SystemErrorCode::AccessDenied;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return SystemErrorCode::AlreadyExists;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return SystemErrorCode::NoSpace;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_BUSY:
            return SystemErrorCode::Busy;
        case ERROR_DIRECTORY:
            return SystemErrorCode::NotAFolder;
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_BUFFER_OVERFLOW:
            return SystemErrorCode::NameTooLong;
        case ERROR_BAD_EXE_FORMAT:
        case ERROR_EXE_MACHINE_TYPE_MISMATCH:
            return SystemErrorCode::NotExecutable;
        default:
            return SystemErrorCode::Other;
    }
}

struct LocalFreeDeleter {
    void operator()(wchar_t* text) const { ::LocalFree(text); }
};

std::string MessageOf(DWORD code) {
    wchar_t* buffer = nullptr;
    // With FORMAT_MESSAGE_ALLOCATE_BUFFER the buffer argument is where the call leaves its pointer.
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const std::unique_ptr<wchar_t, LocalFreeDeleter> owned(buffer);
    std::wstring text(buffer != nullptr ? buffer : L"", length);
    // The system's messages end in a period and a line end; the program adds its own punctuation.
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' ||
                             text.back() == L'.')) {
        text.pop_back();
    }
    // Some messages leave room for a name the system could not know here ("%1 is not a valid
    // Win32 application"): it names the file the call was given.
    for (std::size_t at = 0; (at = text.find(L'%', at)) != std::wstring::npos;) {
        if (at + 1 < text.size() && text[at + 1] >= L'1' && text[at + 1] <= L'9') {
            text.replace(at, 2, L"the file");
        } else {
            ++at;
        }
    }
    return text.empty() ? "error " + std::to_string(code) : ToUtf8(text);
}

}  // namespace

SystemError SystemErrorFromWin32(unsigned long code) {
    return {CodeOf(code), MessageOf(code)};
}

SystemError LastSystemError() {
    return SystemErrorFromWin32(::GetLastError());
}

}  // namespace quillrun::platform
