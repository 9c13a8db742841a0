#include <windows.h>

#include "platform/win32/wide_text.h"
#include "support/helper_programs.h"

namespace quillrun::test {

std::string HelperProgramPath(const std::string& fileName) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    path.resize(path.find_last_of(L"\\/") + 1);
    return platform::ToUtf8(path) + fileName;
}

}  // namespace quillrun::test
