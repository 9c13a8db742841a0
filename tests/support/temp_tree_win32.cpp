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

namespace {

// A file another process still has open (a reading program's helper that is about to end) cannot
// be deleted on Windows for a moment: each removal is tried again for a while, never for ever.
template <typename Removal>
void RemoveWithPatience(const Removal& remove) {
    for (int attempt = 0; attempt < 250 && !remove(); ++attempt) {
        ::Sleep(20);
    }
}

void RemoveFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    const HANDLE listing = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (listing != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring path = folder + L"\\" + name;
            // Read-only entries cannot be deleted until the attribute is cleared; a link to a
            // folder is removed as the link it is, never followed.
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            const bool isLink = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            if (isFolder && !isLink) {
                RemoveFolder(path);
            } else if (isFolder) {
                RemoveWithPatience([&] { return ::RemoveDirectoryW(path.c_str()) != 0; });
            } else {
                RemoveWithPatience([&] { return ::DeleteFileW(path.c_str()) != 0; });
            }
        } while (::FindNextFileW(listing, &found));
        ::FindClose(listing);
    }
    RemoveWithPatience([&] {
        return ::RemoveDirectoryW(folder.c_str()) != 0 ||
               ::GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
    });
}

}  // namespace

// Not std::filesystem::remove_all: where an entry cannot be deleted or vanishes meanwhile, the
// library's walk was seen to go round for ever under Wine.
void RemoveTree(const std::string& root) {
    RemoveFolder(FsPath(root).wstring());
}

}  // namespace quillrun::test
