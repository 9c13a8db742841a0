#include "support/background_process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "support/temp_tree.h"

extern char** environ;

namespace quillrun::test {

BackgroundProcess::BackgroundProcess(const std::vector<std::string>& arguments) {
    std::vector<std::string> copies = arguments;
    std::vector<char*> argv;
    for (std::string& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    if (::posix_spawn(&m_pid, argv.front(), nullptr, nullptr, argv.data(), environ) != 0) {
        throw std::runtime_error("cannot start " + arguments.front());
    }
}

BackgroundProcess::~BackgroundProcess() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        wait();
    }
}

int BackgroundProcess::wait() {
    int status = 0;
    if (m_pid > 0) {
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
        m_pid = -1;
    }
    return status;
}

namespace {
std::string NextFlagName(const std::string& folder, const char* what) {
    static std::atomic<int> counter{0};
    return folder + "/holder-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) +
           "." + what;
}
}  // namespace

FileHolder::FileHolder(const std::string& path, const char* mode, const std::string& flagFolder)
    : m_releaseFlag(NextFlagName(flagFolder, "release")),
      m_process(
          {SCRIPTED_READER_PATH, "--hold", path, mode, m_releaseFlag + ".ready", m_releaseFlag}) {
    if (!WaitUntil([&] { return Exists(m_releaseFlag + ".ready"); })) {
        throw std::runtime_error("the file holder did not open " + path);
    }
}

FileHolder::~FileHolder() {
    release();
}

void FileHolder::release() {
    if (!m_released) {
        m_released = true;
        WriteFile(m_releaseFlag, "", false);
        m_process.wait();
    }
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace quillrun::test
