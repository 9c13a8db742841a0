#include "platform/win32/system_error.h"

#include <windows.h>

#include <memory>

#include "platform/win32/wide_text.h"

namespace quillrun::platform {
namespace {

struct LocalFreeDeleter {
    void operator()(wchar_t* text) const { ::LocalFree(text); }
};

}  // namespace

std::string SystemErrorText(unsigned long code) {
    wchar_t* buffer = nullptr;
    // With FORMAT_MESSAGE_ALLOCATE_BUFFER the buffer argument is where the call leaves its pointer.
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const std::unique_ptr<wchar_t, LocalFreeDeleter> owned(buffer);
    std::wstring text(buffer != nullptr ? buffer : L"", length);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        return "error " + std::to_string(code);
    }
    return ToUtf8(text);
}

}  // namespace quillrun::platform
