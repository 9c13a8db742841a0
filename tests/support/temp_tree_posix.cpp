#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "support/temp_tree.h"

namespace quillrun::test {
namespace {

// Removes name below the open folder parentFd and everything in it. Works through descriptors,
// so trees deeper than the system's path limit and folders left read-only go as well.
void RemoveTreeAt(int parentFd, const char* name) {
    if (::unlinkat(parentFd, name, 0) == 0) {
        return;
    }
    ::fchmodat(parentFd, name, 0700, 0);
    const int folderFd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folderFd < 0) {
        return;
    }
    DIR* folder = ::fdopendir(folderFd);
    if (folder == nullptr) {
        ::close(folderFd);
        return;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view entryName(entry->d_name);
        if (entryName != "." && entryName != "..") {
            names.emplace_back(entryName);
        }
    }
    for (const std::string& entryName : names) {
        RemoveTreeAt(::dirfd(folder), entryName.c_str());
    }
    ::closedir(folder);
    ::unlinkat(parentFd, name, AT_REMOVEDIR);
}

}  // namespace

std::string MissingFileMessage() {
    return std::generic_category().message(ENOENT);
}

bool SetModifiedTime(const std::string& path, std::chrono::system_clock::time_point time) {
    const auto since1970 =
        std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
    const timespec at{static_cast<std::time_t>(since1970 / 1'000'000'000),
                      static_cast<long>(since1970 % 1'000'000'000)};
    const timespec times[2] = {at, at};
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

bool MakeLink(const std::string& target, const std::string& link) {
    return ::symlink(target.c_str(), link.c_str()) == 0;
}

char NativeSeparator() {
    return '/';
}

std::string MakeTemporaryFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/quillrun-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    return pattern;
}

void RemoveTree(const std::string& root) {
    RemoveTreeAt(AT_FDCWD, root.c_str());
}

}  // namespace quillrun::test
