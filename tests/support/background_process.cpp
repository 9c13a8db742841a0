#include "support/background_process.h"

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "support/temp_tree.h"

namespace quillrun::test {
namespace {

// Unique within the flag folder, which belongs to one test.
std::string NextFlagName(const std::string& folder, const char* what) {
    static std::atomic<int> counter{0};
    return folder + NativePath("/holder-" + std::to_string(counter++) + "." + what);
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
