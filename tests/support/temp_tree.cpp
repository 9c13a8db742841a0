#include "support/temp_tree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

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

TempTree::~TempTree() {
    std::error_code ignored;
    // Tests may leave read-only folders behind; make them writable so everything goes.
    for (auto it = std::filesystem::recursive_directory_iterator(
             m_root, std::filesystem::directory_options::skip_permission_denied, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        }
    }
    std::filesystem::remove_all(m_root, ignored);
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

}  // namespace quillrun::test
