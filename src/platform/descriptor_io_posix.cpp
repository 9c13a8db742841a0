#include "platform/descriptor_io_posix.h"

#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace quillrun::platform {
namespace {

// flock() has no timeout of its own; the holders of our locks keep them for one small write.
constexpr auto kLockRetryPause = std::chrono::milliseconds(1);

}  // namespace

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            return errno;
        }
        if (written == 0) {
            return ENOSPC;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

bool LockExclusively(int fd, std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            errno = EWOULDBLOCK;
            return false;
        }
        std::this_thread::sleep_for(kLockRetryPause);
    }
    return true;
}

}  // namespace quillrun::platform
