#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <optional>

#include "platform/descriptor_io_posix.h"
#include "platform/path_rules.h"
#include "platform/system_error_posix.h"
#include "platform/unique_fd.h"

namespace quillrun::platform {

namespace {

PathKind KindOf(const struct stat& status) {
    return S_ISDIR(status.st_mode) ? PathKind::Folder : PathKind::File;
}

std::chrono::system_clock::time_point TimeOf(const timespec& time) {
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec)));
}

FolderStamp StampOf(const struct stat& status) {
    return {{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)},
            TimeOf(status.st_mtim),
            TimeOf(status.st_ctim)};
}

}  // namespace

PathKind GetPathKind(const std::string& path) {
    struct stat status {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0) {
        return PathKind::Missing;
    }
    return KindOf(status);
}

PathLookup LookUpPath(const std::string& path) {
    struct stat status {};
    if (path.empty() || ::lstat(path.c_str(), &status) != 0) {
        return {};
    }
    if (!S_ISLNK(status.st_mode)) {
        return {KindOf(status), false};
    }
    return {GetPathKind(path), true};
}

std::optional<FolderStamp> GetFolderStamp(const std::string& path) {
    struct stat status {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        return std::nullopt;
    }
    return StampOf(status);
}

bool IsReadOnlyFolder(const std::string& path) {
    // Creating an entry needs both write and search permission on the folder.
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK | X_OK, AT_EACCESS) != 0;
}

bool IsProgramFile(const std::string& path) {
    struct stat status {};
    return !path.empty() && ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           ::faccessat(AT_FDCWD, path.c_str(), X_OK, AT_EACCESS) == 0;
}

namespace {

mode_t FolderModeFor(Access access) {
    switch (access) {
        case Access::OwnerOnly:
            return 0700;
        case Access::EveryoneReads:
            return 0755;
        case Access::Inherited:
            break;
    }
    return 0777;
}

// A file written whole starts as a private temporary file, so there is no umask to inherit:
// Inherited gives the mode that every reader can use.
mode_t FileModeFor(Access access) {
    return access == Access::OwnerOnly ? 0600 : 0644;
}

// Creates one folder with the access given. errno says why it failed.
bool MakeFolder(const std::string& path, Access access) {
    if (path.empty()) {
        errno = ENOENT;
        return false;
    }
    const mode_t mode = FolderModeFor(access);
    if (::mkdir(path.c_str(), mode) != 0) {
        return false;
    }
    if (access != Access::Inherited) {
        // mkdir() applies the umask; the mode asked for is meant exactly.
        ::chmod(path.c_str(), mode);
    }
    return true;
}

}  // namespace

bool CreateFolder(const std::string& path) {
    return MakeFolder(path, Access::Inherited);
}

namespace {

// Something was at the name already: fine when it is a folder.
FileResult FolderThere(const std::string& folder) {
    if (GetPathKind(folder) == PathKind::Folder) {
        return {true, {}};
    }
    return {false, SystemErrorFromErrno(ENOTDIR)};
}

}  // namespace

FileResult CreateFolderTree(const std::string& folder, Access access) {
    // Climbs only while a level is missing and builds the missing ones on the way back down, so
    // a folder whose parent exists costs one call.
    if (MakeFolder(folder, access)) {
        return {true, {}};
    }
    const int error = errno;
    if (error == EEXIST) {
        return FolderThere(folder);
    }
    if (error != ENOENT) {
        return {false, SystemErrorFromErrno(error)};
    }
    const std::optional<std::string> parent = ParentFolder(folder);
    if (!parent || IsRoot(*parent)) {
        return {false, SystemErrorFromErrno(ENOENT)};
    }
    if (FileResult above = CreateFolderTree(*parent, access); !above) {
        return above;
    }
    if (MakeFolder(folder, access)) {
        return {true, {}};
    }
    const int again = errno;
    return again == EEXIST ? FolderThere(folder) : FileResult{false, SystemErrorFromErrno(again)};
}

bool HasLinkBelow(const std::string& root, const std::string& path) {
    for (std::string level = path; level.size() > root.size();) {
        struct stat status {};
        if (::lstat(level.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
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
    return ::unlink(path.c_str()) == 0;
}

namespace {

constexpr int kMostAsideNames = 1000;

FileResult Failed(int error) {
    return {false, SystemErrorFromErrno(error)};
}

// Renames without ever replacing what is at to. Where the file system cannot say so in one step,
// a hard link claims the name instead. errno says why it failed.
bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    if (::link(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    ::unlink(from.c_str());
    return true;
}

}  // namespace

RenamedAside RenameAside(const std::string& path, std::string_view suffix) {
    for (int attempt = 1; attempt <= kMostAsideNames; ++attempt) {
        std::string name = path;
        name.append(suffix);
        if (attempt > 1) {
            name.append(1, '-').append(std::to_string(attempt));
        }
        if (RenameWithoutReplacing(path, name)) {
            return {true, std::move(name), {}};
        }
        if (errno != EEXIST) {
            return {false, {}, SystemErrorFromErrno(errno)};
        }
    }
    return {false, {}, SystemErrorFromErrno(EEXIST)};
}

namespace {

// A leading dot and a random tail keep the temporary name out of every search for images. The
// name is cut short where the tail would make it longer than a name may be.
std::string TemporaryTemplateFor(const std::string& path,
                                 const std::optional<std::string>& folder) {
    constexpr std::string_view kTail = ".XXXXXX";
    constexpr std::size_t kLongestName = NAME_MAX - 1 - kTail.size();
    const std::string name = folder ? path.substr(folder->size() + 1) : path;
    std::string temporary(1, '.');
    temporary.append(name, 0, kLongestName).append(kTail);
    return folder ? JoinPath(*folder, temporary) : temporary;
}

// Makes a rename in the folder durable. Best effort: the new content is in place already.
void SyncFolder(const std::optional<std::string>& folder) {
    const std::string path = folder ? FolderToOpen(*folder) : std::string(".");
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC));
    if (fd) {
        ::fsync(fd.get());
    }
}

}  // namespace

FileResult WriteWholeFile(const std::string& path, std::string_view bytes, Access access,
                          Durability durability) {
    const std::optional<std::string> folder = ParentFolder(path);
    std::string temporary = TemporaryTemplateFor(path, folder);
    UniqueFd fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd) {
        return Failed(errno);
    }
    int error = ::fchmod(fd.get(), FileModeFor(access)) == 0 ? 0 : errno;
    if (error == 0) {
        error = WriteAll(fd.get(), bytes);
    }
    if (error == 0 && (::fsync(fd.get()) != 0 || !fd.close())) {
        error = errno;
    }
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return Failed(error);
    }
    if (durability == Durability::Committed) {
        SyncFolder(folder);
    }
    return {true, {}};
}

struct FolderListing::Impl {
    DIR* dir = nullptr;
    FolderStamp stamp;
    ~Impl() {
        if (dir != nullptr) {
            ::closedir(dir);
        }
    }
};

FolderListing::FolderListing(const std::string& folder) : m_impl(std::make_unique<Impl>()) {
    // O_DIRECTORY refuses a FIFO before its open could wait for a writer; O_NONBLOCK says so too.
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd) {
        return;
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) {
        return;
    }
    m_impl->stamp = StampOf(status);
    m_impl->dir = ::fdopendir(fd.get());
    if (m_impl->dir != nullptr) {
        static_cast<void>(fd.release());
    }
}

FolderListing::~FolderListing() = default;

bool FolderListing::isOpen() const {
    return m_impl->dir != nullptr;
}

FolderIdentity FolderListing::identity() const {
    return m_impl->stamp.identity;
}

FolderStamp FolderListing::stamp() const {
    return m_impl->stamp;
}

bool FolderListing::next(FolderEntry& entry) {
    if (m_impl->dir == nullptr) {
        return false;
    }
    for (;;) {
        errno = 0;
        const dirent* found = ::readdir(m_impl->dir);
        if (found == nullptr) {
            return false;
        }
        const std::string_view name(found->d_name);
        if (name == "." || name == "..") {
            continue;
        }
        entry.name.assign(name);
        entry.isFolder = found->d_type == DT_DIR;
        entry.isLink = found->d_type == DT_LNK;
        if (found->d_type == DT_UNKNOWN) {
            struct stat status {};
            entry.isLink =
                ::fstatat(::dirfd(m_impl->dir), found->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISLNK(status.st_mode);
            entry.isFolder = !entry.isLink && S_ISDIR(status.st_mode);
        }
        if (entry.isLink) {
            // Links are followed; a broken link is a plain file.
            struct stat status {};
            entry.isFolder = ::fstatat(::dirfd(m_impl->dir), found->d_name, &status, 0) == 0 &&
                             S_ISDIR(status.st_mode);
        }
        return true;
    }
}

}  // namespace quillrun::platform
