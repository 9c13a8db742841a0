#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/helper_programs.h"

namespace quillrun::test {

// A child process that runs beside the test; it is killed and reaped when the object goes away.
// On Windows it shares the test's console, or has none (as the desktop starts it), or its own.
enum class Console { Shared, None, Own };
class BackgroundProcess {
  public:
    explicit BackgroundProcess(const std::vector<std::string>& arguments,
                               Console console = Console::Shared);
    ~BackgroundProcess();
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    // The system's id of the process, while it has not been waited for.
    std::uint64_t pid() const;
    // Waits for the process to end by itself; returns its exit status.
    int wait();

  private:
    struct Child;  // the system's handle on the process
    std::unique_ptr<Child> m_child;
};

// A process that opens path for reading ("r"; on Windows "x" shares it with nobody) or appending
// ("w"), creates readyFlag once it has the file open, and keeps it open until releaseFlag exists.
// Returns once the file is open.
class FileHolder {
  public:
    FileHolder(const std::string& path, const char* mode, const std::string& flagFolder);
    ~FileHolder();
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;

    // Lets the holder close the file and waits until it has ended.
    void release();

  private:
    std::string m_releaseFlag;
    BackgroundProcess m_process;
    bool m_released = false;
};

// Polls condition until it holds or the deadline passes; for waiting on other processes.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 10000);

}  // namespace quillrun::test
