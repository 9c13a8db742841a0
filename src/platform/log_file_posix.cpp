#include "platform/log_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/unique_fd.h"

namespace quillrun::platform {
namespace {

// Another instance holds the lock only for the time it takes to write one line.
constexpr auto kLockPatience = std::chrono::milliseconds(250);
constexpr auto kLockRetryPause = std::chrono::milliseconds(5);

bool LockForWriting(int fd) {
    const auto deadline = std::chrono::steady_clock::now() + kLockPatience;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            return true;
        }
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(kLockRetryPause);
    }
}

}  // namespace

AppendResult AppendToFile(const std::string& path, std::string_view bytes) {
    // Non-blocking open, so that a FIFO named as the log file cannot hang the work.
    UniqueFd fd(::open(path.c_str(),
                       O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666));
    if (!fd) {
        return {AppendStatus::NotOpened, errno};
    }
    if (!LockForWriting(fd.get())) {
        return {AppendStatus::NotOpened, errno};
    }
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd.get(), bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return {AppendStatus::WriteFailed, written < 0 ? errno : ENOSPC};
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    if (!fd.close()) {
        return {AppendStatus::WriteFailed, errno};
    }
    return {AppendStatus::Appended, 0};
}

}  // namespace quillrun::platform
