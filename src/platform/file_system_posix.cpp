#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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

bool CreateFolder(const std::string& path) {
    return !path.empty() && ::mkdir(path.c_str(), 0777) == 0;
}

bool RemoveFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

namespace {

std::string TemporaryTemplateFor(const std::string& path) {
    const auto slash = path.rfind(kPathSeparator);
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // A leading dot and a random tail keep the temporary name out of every search for images.
    return folder + "." + name + ".XXXXXX";
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
    std::string temporary = TemporaryTemplateFor(path);
    UniqueFd fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd) {
        return false;
    }
    const bool written = ::fchmod(fd.get(), 0644) == 0 && WriteAll(fd.get(), bytes) &&
                         ::fsync(fd.get()) == 0 && fd.close();
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
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
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY));
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
