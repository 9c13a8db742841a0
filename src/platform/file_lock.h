#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "platform/system_error.h"

namespace quillrun::platform {

// An advisory exclusive lock that serialises one change among processes, held on a file of its
// own at path (created private when missing) for as long as the object lives. Another process
// holds such a lock only briefly: it is waited for up to patience. POSIX only.
class FileLock {
  public:
    FileLock(const std::string& path, std::chrono::milliseconds patience);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool held() const;
    // Why the lock is not held: the file could not be opened (a link at its name is never
    // followed), or another process kept the lock longer than the patience.
    const SystemError& error() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace quillrun::platform
