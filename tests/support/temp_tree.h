#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/helper_programs.h"

namespace quillrun::test {

// A temporary folder that is removed with everything in it when the object goes away.
class TempTree {
  public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& root() const { return m_root; }
    // A path below the root; the relative part is written with '/' and comes back with the
    // system's separator.
    std::string path(std::string_view relative) const;

    // Creates the folder and any missing ancestors, below the root.
    std::string makeFolder(std::string_view relative) const;
    // Writes a file below the root, creating its folders. Images arrive complete, so the file is
    // back-dated past the quiet period in which a file counts as still being written.
    std::string writeFile(std::string_view relative, std::string_view content = "image") const;

  private:
    std::string m_root;
};

// A path written with '/' in the system's form: "/a/b" stays on POSIX and becomes "\a\b" on
// Windows, so expectations can be spelled once.
std::string NativePath(std::string_view path);
// Quillrun's paths are UTF-8 on every system; the standard library's narrow paths are not on
// Windows, so tests reach files through these.
std::filesystem::path FsPath(std::string_view utf8);
std::string Utf8Path(const std::filesystem::path& path);

void MakeFolders(const std::string& path);
void WriteFile(const std::string& path, std::string_view content, bool backdate = true);
void BackdateFile(const std::string& path);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
bool RemovePath(const std::string& path);
// The argument vector the scripted reader recorded with --record: each argument ends in a NUL.
std::vector<std::string> RecordedArguments(const std::string& file);

// Sets the modification time of a file or folder, as finely as the file system keeps it.
bool SetModifiedTime(const std::string& path, std::chrono::system_clock::time_point time);
// Makes a symbolic link at link to target; false where the system makes none (Windows without
// the privilege, Wine, which reports success and makes nothing).
bool MakeLink(const std::string& target, const std::string& link);

// The system's own words for a file that is not there, as a log line quotes them.
std::string MissingFileMessage();

// What the system provides for the tree itself, and the separator of its paths.
char NativeSeparator();
std::string MakeTemporaryFolder();
void RemoveTree(const std::string& root);

}  // namespace quillrun::test
