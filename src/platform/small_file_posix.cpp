#include "platform/small_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/unique_fd.h"

namespace quillrun::platform {

SmallFile ReadSmallFile(const std::string& path, std::size_t largest) {
    SmallFile file;
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd) {
        file.status = (errno == ENOENT || errno == ENOTDIR) ? SmallFileStatus::Missing
                                                            : SmallFileStatus::Unreadable;
        return file;
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        file.status = SmallFileStatus::Unreadable;
        return file;
    }
    if (static_cast<std::size_t>(status.st_size) > largest) {
        file.status = SmallFileStatus::TooLarge;
        return file;
    }
    char chunk[8192];
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            file.status = SmallFileStatus::Unreadable;
            file.bytes.clear();
            return file;
        }
        if (got == 0) {
            file.status = SmallFileStatus::Read;
            return file;
        }
        // The file may grow while it is read.
        file.bytes.append(chunk, static_cast<std::size_t>(got));
        if (file.bytes.size() > largest) {
            file.status = SmallFileStatus::TooLarge;
            file.bytes.clear();
            return file;
        }
    }
}

std::optional<std::string> RewriteTarget(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
        return path;
    }
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) {
        return std::nullopt;
    }
    return std::string(resolved);
}

bool LinkAside(const std::string& path, std::string_view suffix) {
    constexpr int kMostAsideNames = 100;
    const std::string base = path + std::string(suffix);
    for (int attempt = 1; attempt <= kMostAsideNames; ++attempt) {
        const std::string name = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        if (::link(path.c_str(), name.c_str()) == 0) {
            return true;
        }
        if (errno == ENOENT) {
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

void MakeFilePrivate(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
        (status.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        ::chmod(path.c_str(), S_IRUSR | S_IWUSR);
    }
}

}  // namespace quillrun::platform
