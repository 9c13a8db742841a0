#include "platform/exclusive_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/descriptor_io_posix.h"
#include "platform/system_error_posix.h"
#include "platform/unique_fd.h"

namespace quillrun::platform {
namespace {

FileStamp StampOf(const struct stat& status) {
    return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
            static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 +
                static_cast<std::int64_t>(status.st_mtim.tv_nsec)};
}

ExclusiveCreateResult Failure(int error) {
    return {ExclusiveCreateStatus::Failed, {}, SystemErrorFromErrno(error)};
}

}  // namespace

std::optional<FileStamp> GetFileStamp(const std::string& path) {
    struct stat status {};
    if (path.empty() || ::lstat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return StampOf(status);
}

ExclusiveCreateResult CreateFileExclusively(const std::string& path, std::string_view content) {
    // O_EXCL with O_CREAT is the exclusive create that NFS 3 and later and SMB perform on the
    // server; it also refuses to follow a link left at the name.
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0644));
    if (!fd) {
        if (errno == EEXIST) {
            return {ExclusiveCreateStatus::AlreadyExists, {}, SystemErrorFromErrno(EEXIST)};
        }
        return Failure(errno);
    }
    struct stat status {};
    int error = WriteAll(fd.get(), content);
    if (error == 0 && ::fstat(fd.get(), &status) != 0) {
        error = errno;
    }
    if (error == 0 && !fd.close()) {
        error = errno;
    }
    if (error != 0) {
        fd.reset();
        ::unlink(path.c_str());
        return Failure(error);
    }
    return {ExclusiveCreateStatus::Created, StampOf(status), {}};
}

bool TouchFile(const std::string& path) {
    // No times given: "now", which a network file system takes from the server's clock.
    return ::utimensat(AT_FDCWD, path.c_str(), nullptr, 0) == 0;
}

bool RemoveFileIfSame(const std::string& path, const FileStamp& stamp) {
    const std::optional<FileStamp> current = GetFileStamp(path);
    return current && current->sameFile(stamp) && ::unlink(path.c_str()) == 0;
}

}  // namespace quillrun::platform
