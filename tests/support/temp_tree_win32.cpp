#include <windows.h>

#include <stdexcept>

#include "platform/system_error_win32.h"
#include "support/temp_tree.h"

namespace quillrun::test {

std::string MissingFileMessage() {
    return platform::SystemErrorFromWin32(ERROR_FILE_NOT_FOUND).message;
}

char NativeSeparator() {
    return '\\';
}

std::string MakeTemporaryFolder() {
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring name = L"quillrun-test-" + std::to_wstring(::GetCurrentProcessId()) +
                                  L"-" + std::to_wstring(::GetTickCount64()) + L"-" +
                                  std::to_wstring(attempt);
        const std::filesystem::path folder = base / name;
        if (::CreateDirectoryW(folder.c_str(), nullptr)) {
            return Utf8Path(folder);
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

void RemoveTree(const std::string& root) {
    // Read-only entries cannot be deleted on Windows until the attribute is cleared.
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(FsPath(root), error)) {
        ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::filesystem::remove_all(FsPath(root), error);
}

}  // namespace quillrun::test
