#include <windows.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/file_system.h"
#include "platform/path_rules.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace quillrun::platform {
namespace {

constexpr int kMostTemporaryNames = 100;

DWORD Attributes(const std::string& path) {
    return path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(ToWide(path).c_str());
}

bool EndsWithSeparator(const std::string& path) {
    return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

// A name nobody else picks: the process, a count and the clock. The leading dot and the tail
// keep it out of every search for images.
std::string TemporaryNameFor(const std::string& path, int attempt) {
    static std::atomic<unsigned> counter{0};
    LARGE_INTEGER clock{};
    ::QueryPerformanceCounter(&clock);
    char tail[64];
    std::snprintf(tail, sizeof tail, ".%lx-%x-%llx-%d", ::GetCurrentProcessId(), counter++,
                  static_cast<unsigned long long>(clock.QuadPart), attempt);
    const std::size_t separator = path.find_last_of("\\/");
    const std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
    const std::optional<std::string> folder = ParentFolder(path);
    return folder ? JoinPath(*folder, "." + name + tail) : "." + name + tail;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk =
            bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace

PathKind GetPathKind(const std::string& path) {
    const DWORD attributes = Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return PathKind::Missing;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::Folder : PathKind::File;
}

bool IsReadOnlyFolder(const std::string& path) {
    // The folder's read-only attribute, as Windows programs have always read it.
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// Files and folders take the security their folder hands down, whatever access is asked for: a
// user's own folders are private to them already, and what Quillrun writes elsewhere (documents'
// folders, failure markers) is meant for everybody who may read that folder. The private files of
// the registry's file store do not exist on Windows.
bool CreateFolder(const std::string& path) {
    return !path.empty() && ::CreateDirectoryW(ToWide(path).c_str(), nullptr) != 0;
}

bool CreateFolderTree(const std::string& folder, Access /*access*/) {
    // Climbs only while a level is missing and builds the missing ones on the way back down, so
    // a folder whose parent exists costs one call.
    if (CreateFolder(folder)) {
        return true;
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS) {
        return GetPathKind(folder) == PathKind::Folder;
    }
    if (error != ERROR_PATH_NOT_FOUND) {
        return false;
    }
    const std::optional<std::string> parent = ParentFolder(folder);
    if (!parent || parent->empty() || IsRoot(*parent) ||
        !CreateFolderTree(*parent, Access::Inherited)) {
        return false;
    }
    return CreateFolder(folder) ||
           (::GetLastError() == ERROR_ALREADY_EXISTS && GetPathKind(folder) == PathKind::Folder);
}

std::unique_ptr<std::istream> OpenFileForReading(const std::string& path) {
    // Named in UTF-16: the standard library's narrow names would go through the ANSI code page.
    auto file =
        std::make_unique<std::ifstream>(std::filesystem::path(ToWide(path)), std::ios::binary);
    if (!file->is_open()) {
        return nullptr;
    }
    return file;
}

bool RemoveFile(const std::string& path) {
    return ::DeleteFileW(ToWide(path).c_str()) != 0;
}

// The rename is written through to the disk in either case (MOVEFILE_WRITE_THROUGH): Windows
// offers no cheaper atomic replacement, so Atomic and Committed writes are the same here.
bool WriteWholeFile(const std::string& path, std::string_view bytes, Access /*access*/,
                    Durability /*durability*/) {
    for (int attempt = 0; attempt < kMostTemporaryNames; ++attempt) {
        const std::wstring temporary = ToWide(TemporaryNameFor(path, attempt));
        UniqueHandle file(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            if (::GetLastError() == ERROR_FILE_EXISTS) {
                continue;
            }
            return false;
        }
        const bool written = WriteAll(file.get(), bytes) && ::FlushFileBuffers(file.get()) != 0;
        file.reset();
        if (written && ::MoveFileExW(temporary.c_str(), ToWide(path).c_str(),
                                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
            return true;
        }
        ::DeleteFileW(temporary.c_str());
        return false;
    }
    return false;
}

struct FolderListing::Impl {
    UniqueFindHandle find;
    WIN32_FIND_DATAW pending{};
    bool hasPending = false;
    FolderIdentity identity;
};

FolderListing::FolderListing(const std::string& folder) : m_impl(std::make_unique<Impl>()) {
    const std::wstring wideFolder = ToWide(folder);
    // The folder's identity: its volume and its file index, whatever path it was reached by.
    UniqueHandle handle(::CreateFileW(wideFolder.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!handle || !::GetFileInformationByHandle(handle.get(), &information)) {
        return;
    }
    m_impl->identity = {
        information.dwVolumeSerialNumber,
        (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow};
    const std::wstring pattern =
        wideFolder + (EndsWithSeparator(folder) || folder.empty() ? L"*" : L"\\*");
    m_impl->find.reset(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &m_impl->pending,
                                          FindExSearchNameMatch, nullptr,
                                          FIND_FIRST_EX_LARGE_FETCH));
    m_impl->hasPending = m_impl->find.valid();
}

FolderListing::~FolderListing() = default;

bool FolderListing::isOpen() const {
    return m_impl->find.valid();
}

FolderIdentity FolderListing::identity() const {
    return m_impl->identity;
}

bool FolderListing::next(FolderEntry& entry) {
    while (m_impl->hasPending) {
        const WIN32_FIND_DATAW found = m_impl->pending;
        m_impl->hasPending = ::FindNextFileW(m_impl->find.get(), &m_impl->pending) != 0;
        const std::wstring_view name(found.cFileName);
        if (name == L"." || name == L"..") {
            continue;
        }
        entry.name = ToUtf8(name);
        // Links and junctions to folders carry the folder bit too, and are followed.
        entry.isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        return true;
    }
    return false;
}

}  // namespace quillrun::platform
