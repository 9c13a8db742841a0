#include <windows.h>

#include "platform/narrow_text.h"
#include "platform/win32/wide_text.h"

namespace quillrun::platform {

// Both directions carry embedded zero bytes: the lengths are given, never found by a terminator.

std::string ToSystemCodePage(std::string_view utf8) {
    const std::wstring wide = ToWide(utf8);
    if (wide.empty()) {
        return {};
    }
    const int length = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                             nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), narrow.data(),
                          length, nullptr, nullptr);
    return narrow;
}

std::string FromSystemCodePage(std::string_view narrow) {
    if (narrow.empty()) {
        return {};
    }
    const int length = ::MultiByteToWideChar(CP_ACP, 0, narrow.data(),
                                             static_cast<int>(narrow.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()), wide.data(),
                          length);
    return ToUtf8(wide);
}

}  // namespace quillrun::platform
