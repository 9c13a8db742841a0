#include <windows.h>

#include <atomic>
#include <cwchar>

#include "platform/file_system.h"
#include "platform/path_rules.h"
#include "platform/system_error_win32.h"
#include "platform/win32/file_information.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/write_all.h"

namespace quillrun::platform {
namespace {

constexpr int kMostTemporaryNames = 100;
constexpr int kMostAsideNames = 1000;
// The longest name of one level that Windows file systems keep, in UTF-16 units.
constexpr std::size_t kLongestName = 255;

DWORD Attributes(const std::string& path) {
    return path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(ToWide(path).c_str());
}

bool EndsWithSeparator(const std::string& path) {
    return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

// A name nobody else picks: the process, a count and the clock. The leading dot and the tail
// keep it out of every search for images. The name is cut short where the tail would make it
// longer than a name may be, never inside a surrogate pair.
std::wstring TemporaryNameFor(const std::string& path, int attempt) {
    static std::atomic<unsigned> counter{0};
    LARGE_INTEGER clock{};
    ::QueryPerformanceCounter(&clock);
    wchar_t tail[64];
    std::swprintf(tail, std::size(tail), L".%lx-%x-%llx-%d", ::GetCurrentProcessId(), counter++,
                  static_cast<unsigned long long>(clock.QuadPart), attempt);
    const std::size_t separator = path.find_last_of("\\/");
    std::wstring name =
        L"." + ToWide(separator == std::string::npos ? path : path.substr(separator + 1));
    const std::size_t room = kLongestName - std::wcslen(tail);
    if (name.size() > room) {
        const bool splitsPair = IS_HIGH_SURROGATE(name[room - 1]);
        name.resize(splitsPair ? room - 1 : room);
    }
    name += tail;
    const std::optional<std::string> folder = ParentFolder(path);
    return folder ? ToWide(JoinPath(*folder, "")) + name : name;
}

FileResult Failed(DWORD error) {
    return {false, SystemErrorFromWin32(error)};
}

PathKind KindOf(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::Folder : PathKind::File;
}

// What a reparse point leads to. The attributes of the name itself are the link's: a link to a
// folder carries the folder bit even when its target has gone, so the target is opened instead.
PathKind FollowedKind(const std::string& path) {
    const UniqueHandle target = OpenForAttributes(path);
    BY_HANDLE_FILE_INFORMATION information{};
    if (!target || !::GetFileInformationByHandle(target.get(), &information)) {
        return PathKind::Missing;
    }
    return KindOf(information.dwFileAttributes);
}

std::optional<FolderStamp> StampOf(HANDLE folder) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(folder, &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return std::nullopt;
    }
    FolderStamp stamp{{information.dwVolumeSerialNumber, FileIndexOf(information)},
                      TimeOfTicks(TicksOf(information.ftLastWriteTime)),
                      TimeOfTicks(TicksOf(information.ftLastWriteTime))};
    // The change time moves with renames, attributes and times set by hand as well; a file
    // system that does not keep one gives the modification time twice, as POSIX ones without a
    // status change time would.
    FILE_BASIC_INFO basic{};
    if (::GetFileInformationByHandleEx(folder, FileBasicInfo, &basic, sizeof basic) &&
        basic.ChangeTime.QuadPart != 0) {
        stamp.changed = TimeOfTicks(basic.ChangeTime.QuadPart);
    }
    return stamp;
}

}  // namespace

PathKind GetPathKind(const std::string& path) {
    const DWORD attributes = Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return PathKind::Missing;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return FollowedKind(path);
    }
    return KindOf(attributes);
}

PathLookup LookUpPath(const std::string& path) {
    const DWORD attributes = Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return {};
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return {KindOf(attributes), false};
    }
    const UniqueHandle name = OpenForAttributes(path, false);
    FILE_ATTRIBUTE_TAG_INFO tag{};
    const bool isLink =
        name &&
        ::GetFileInformationByHandleEx(name.get(), FileAttributeTagInfo, &tag, sizeof tag) &&
        IsLinkTag(tag.ReparseTag);
    return {FollowedKind(path), isLink};
}

std::optional<FolderStamp> GetFolderStamp(const std::string& path) {
    const UniqueHandle folder = OpenForAttributes(path);
    return folder ? StampOf(folder.get()) : std::nullopt;
}

// A program is what CreateProcessW can start: an executable image, never a folder.
bool IsProgramFile(const std::string& path) {
    DWORD kind = 0;
    return !path.empty() && GetPathKind(path) == PathKind::File &&
           ::GetBinaryTypeW(ToWide(path).c_str(), &kind);
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

namespace {

// Something was at the name already: fine when it is a folder.
FileResult FolderThere(const std::string& folder) {
    if (GetPathKind(folder) == PathKind::Folder) {
        return {true, {}};
    }
    return {false, SystemErrorFromWin32(ERROR_DIRECTORY)};
}

}  // namespace

FileResult CreateFolderTree(const std::string& folder, Access /*access*/) {
    // Climbs only while a level is missing and builds the missing ones on the way back down, so
    // a folder whose parent exists costs one call.
    if (CreateFolder(folder)) {
        return {true, {}};
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS) {
        return FolderThere(folder);
    }
    if (error != ERROR_PATH_NOT_FOUND) {
        return {false, SystemErrorFromWin32(error)};
    }
    const std::optional<std::string> parent = ParentFolder(folder);
    if (!parent || parent->empty() || IsRoot(*parent)) {
        return {false, SystemErrorFromWin32(ERROR_PATH_NOT_FOUND)};
    }
    if (FileResult above = CreateFolderTree(*parent, Access::Inherited); !above) {
        return above;
    }
    if (CreateFolder(folder)) {
        return {true, {}};
    }
    const DWORD again = ::GetLastError();
    return again == ERROR_ALREADY_EXISTS ? FolderThere(folder)
                                         : FileResult{false, SystemErrorFromWin32(again)};
}

bool HasLinkBelow(const std::string& root, const std::string& path) {
    for (std::string level = path; level.size() > root.size();) {
        const DWORD attributes = ::GetFileAttributesW(ToWide(level).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            return true;
        }
        std::optional<std::string> parent = ParentFolder(level);
        if (!parent || parent->size() >= level.size()) {
            break;
        }
        level = std::move(*parent);
    }
    return false;
}

bool RemoveFile(const std::string& path) {
    return ::DeleteFileW(ToWide(path).c_str()) != 0;
}

// The rename is written through to the disk in either case (MOVEFILE_WRITE_THROUGH): Windows
// offers no cheaper atomic replacement, so Atomic and Committed writes are the same here.
FileResult WriteWholeFile(const std::string& path, std::string_view bytes, Access /*access*/,
                          Durability /*durability*/) {
    for (int attempt = 0; attempt < kMostTemporaryNames; ++attempt) {
        const std::wstring temporary = TemporaryNameFor(path, attempt);
        UniqueHandle file(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_EXISTS) {
                continue;
            }
            return Failed(error);
        }
        DWORD error = WriteAllBytes(file.get(), bytes);
        if (error == ERROR_SUCCESS && !::FlushFileBuffers(file.get())) {
            error = ::GetLastError();
        }
        if (!::CloseHandle(file.release()) && error == ERROR_SUCCESS) {
            error = ::GetLastError();
        }
        if (error == ERROR_SUCCESS &&
            !::MoveFileExW(temporary.c_str(), ToWide(path).c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            error = ::GetLastError();
        }
        if (error == ERROR_SUCCESS) {
            return {true, {}};
        }
        ::DeleteFileW(temporary.c_str());
        return Failed(error);
    }
    return Failed(ERROR_FILE_EXISTS);
}

// MoveFileExW without MOVEFILE_REPLACE_EXISTING never replaces what is at the new name.
RenamedAside RenameAside(const std::string& path, std::string_view suffix) {
    const std::wstring from = ToWide(path);
    for (int attempt = 1; attempt <= kMostAsideNames; ++attempt) {
        std::string name = path;
        name.append(suffix);
        if (attempt > 1) {
            name.append(1, '-').append(std::to_string(attempt));
        }
        if (::MoveFileExW(from.c_str(), ToWide(name).c_str(), 0)) {
            return {true, std::move(name), {}};
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) {
            return {false, {}, SystemErrorFromWin32(error)};
        }
    }
    return {false, {}, SystemErrorFromWin32(ERROR_ALREADY_EXISTS)};
}

struct FolderListing::Impl {
    UniqueFindHandle find;
    WIN32_FIND_DATAW pending{};
    bool hasPending = false;
    std::string folder;
    FolderStamp stamp;
};

FolderListing::FolderListing(const std::string& folder) : m_impl(std::make_unique<Impl>()) {
    const std::wstring wideFolder = ToWide(folder);
    // The folder's identity (its volume and its file index, whatever path it was reached by) and
    // times, taken before the first entry is read.
    const UniqueHandle handle = OpenForAttributes(folder);
    const std::optional<FolderStamp> stamp = handle ? StampOf(handle.get()) : std::nullopt;
    if (!stamp) {
        return;
    }
    m_impl->stamp = *stamp;
    m_impl->folder = folder;
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
    return m_impl->stamp.identity;
}

FolderStamp FolderListing::stamp() const {
    return m_impl->stamp;
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
        entry.isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // For a reparse point the listing gives its tag in dwReserved0. Links and junctions are
        // followed: what they lead to decides, and a broken one is a plain file.
        entry.isLink = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
                       IsLinkTag(found.dwReserved0);
        if (entry.isLink) {
            entry.isFolder = FollowedKind(JoinPath(m_impl->folder, entry.name)) == PathKind::Folder;
        }
        return true;
    }
    return false;
}

}  // namespace quillrun::platform
