#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace quillrun::platform {

// A regular file opened for reading. The open never waits: a FIFO, a device, a folder, or a file
// that another process holds in a way that would make the open wait, is simply not opened. So a
// file that another program hands over (the reading program's statistics) can never hold the
// work, whatever stands at its place. A link at the name is not followed either: what somebody
// planted there is never read as the file it stands for.
class FileReader {
  public:
    explicit FileReader(const std::string& path);
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    bool isOpen() const;
    // Reads up to size bytes into buffer: how many were read, 0 at the end of the file, nothing
    // after a read error.
    std::optional<std::size_t> read(char* buffer, std::size_t size);
    // Closes the file at once; false when closing failed or it was not open.
    bool close();

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace quillrun::platform
