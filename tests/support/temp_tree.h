#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillrun::test {

// A temporary folder that is removed with everything in it when the object goes away.
class TempTree {
  public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& root() const { return m_root; }
    std::string path(std::string_view relative) const {
        return m_root + "/" + std::string(relative);
    }

    // Creates the folder and any missing ancestors, below the root.
    std::string makeFolder(std::string_view relative) const;
    // Writes a file below the root, creating its folders. Images arrive complete, so the file is
    // back-dated past the quiet period in which a file counts as still being written.
    std::string writeFile(std::string_view relative, std::string_view content = "image") const;

  private:
    std::string m_root;
};

void MakeFolders(const std::string& path);
void WriteFile(const std::string& path, std::string_view content, bool backdate = true);
void BackdateFile(const std::string& path);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
// The argument vector the scripted reader recorded with --record: each argument ends in a NUL.
std::vector<std::string> RecordedArguments(const std::string& file);

}  // namespace quillrun::test
