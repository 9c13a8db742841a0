#include "support/temp_tree.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace quillrun::test {

TempTree::TempTree() : m_root(MakeTemporaryFolder()) {}

TempTree::~TempTree() {
    RemoveTree(m_root);
}

std::string TempTree::path(std::string_view relative) const {
    return m_root + NativeSeparator() + NativePath(relative);
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

std::string NativePath(std::string_view path) {
    std::string native(path);
    std::replace(native.begin(), native.end(), '/', NativeSeparator());
    return native;
}

std::filesystem::path FsPath(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Path(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

void MakeFolders(const std::string& path) {
    std::filesystem::create_directories(FsPath(path));
}

void WriteFile(const std::string& path, std::string_view content, bool backdate) {
    const auto parent = FsPath(path).parent_path();
    if (!parent.empty()) {
        std::filesystem::create_directories(parent);
    }
    std::ofstream out(FsPath(path), std::ios::binary | std::ios::trunc);
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
    std::error_code ignored;
    std::filesystem::last_write_time(
        FsPath(path), std::filesystem::file_time_type::clock::now() - std::chrono::hours(1),
        ignored);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(FsPath(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(FsPath(path), error));
}

bool RemovePath(const std::string& path) {
    std::error_code error;
    return std::filesystem::remove(FsPath(path), error);
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
