#include "support/temp_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace quillrun::test {

TempTree::TempTree() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/quillrun-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    m_root = pattern;
}

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

TempTree::~TempTree() {
    RemoveTreeAt(AT_FDCWD, m_root.c_str());
}

std::string TempTree::makeFolder(std::string_view relative) const {
    const std::string folder = path(relative);
    MakeFolders(folder);
    return folder;
}

std::string TempTree::writeFile(std::string_view relative, std::string_view content) const {
    const std::string file = path(relative);
    WriteFile(file, content);
    return file;
}

void MakeFolders(const std::string& path) {
    std::filesystem::create_directories(path);
}

void WriteFile(const std::string& path, std::string_view content, bool backdate) {
    const auto parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) {
        std::filesystem::create_directories(parent);
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
    if (backdate) {
        BackdateFile(path);
    }
}

void BackdateFile(const std::string& path) {
    timespec times[2];
    ::clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= 3600;
    times[1] = times[0];
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

std::vector<std::string> RecordedArguments(const std::string& file) {
    const std::string bytes = ReadFile(file);
    std::vector<std::string> arguments;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\0') {
            arguments.push_back(bytes.substr(start, i - start));
            start = i + 1;
        }
    }
    return arguments;
}

}  // namespace quillrun::test
