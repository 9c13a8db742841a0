#include <windows.h>

#include <cstdint>
#include <stdexcept>

#include "platform/file_system.h"
#include "platform/system_error_win32.h"
#include "platform/win32/file_information.h"
#include "platform/win32/unique_handle.h"
#include "support/temp_tree.h"

namespace quillrun::test {

std::string MissingFileMessage() {
    return platform::SystemErrorFromWin32(ERROR_FILE_NOT_FOUND).message;
}

bool SetModifiedTime(const std::string& path, std::chrono::system_clock::time_point time) {
    // Folders open only with backup semantics; FILETIME counts 100 ns from 1601.
    const platform::UniqueHandle file(
        ::CreateFileW(FsPath(path).c_str(), FILE_WRITE_ATTRIBUTES,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    using Ticks = std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>;
    const auto ticks = static_cast<std::uint64_t>(
        platform::kTicksBefore1970 +
        std::chrono::duration_cast<Ticks>(time.time_since_epoch()).count());
    const FILETIME written{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    return file && ::SetFileTime(file.get(), nullptr, nullptr, &written);
}

bool MakeLink(const std::string& target, const std::string& link) {
    const DWORD kind = platform::GetPathKind(target) == platform::PathKind::Folder
                           ? SYMBOLIC_LINK_FLAG_DIRECTORY
                           : 0;
    return ::CreateSymbolicLinkW(FsPath(link).c_str(), FsPath(target).c_str(),
                                 kind | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
           platform::LookUpPath(link).isLink;
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
