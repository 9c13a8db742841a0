#include "platform/file_readiness.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <ctime>
#include <string_view>

#include "platform/unique_fd.h"

namespace quillrun::platform {
namespace {

bool ModifiedWithinQuietPeriod(const struct stat& status) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const auto age = std::chrono::seconds(now.tv_sec - status.st_mtim.tv_sec) +
                     std::chrono::nanoseconds(now.tv_nsec - status.st_mtim.tv_nsec);
    // A modification time in the future is clock skew between machines, not activity.
    return age >= std::chrono::nanoseconds::zero() && age < kQuietPeriod;
}

bool IsAllDigits(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// Where the kernel grants no lease, look through every process's descriptors for the file.
// Processes of other users whose descriptors cannot be read are invisible here, as they are to
// the lease; a writer on another machine is covered by the quiet period only.
bool IsOpenByAnyOtherProcess(const struct stat& file) {
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr) {
        return false;
    }
    const std::string ownPid = std::to_string(::getpid());
    bool found = false;
    while (!found) {
        const dirent* process = ::readdir(proc);
        if (process == nullptr) {
            break;
        }
        const std::string_view pid(process->d_name);
        if (!IsAllDigits(pid) || pid == ownPid) {
            continue;
        }
        const std::string fdFolder = "/proc/" + std::string(pid) + "/fd";
        DIR* descriptors = ::opendir(fdFolder.c_str());
        if (descriptors == nullptr) {
            continue;
        }
        while (const dirent* descriptor = ::readdir(descriptors)) {
            struct stat target {};
            if (IsAllDigits(descriptor->d_name) &&
                ::fstatat(::dirfd(descriptors), descriptor->d_name, &target, 0) == 0 &&
                target.st_dev == file.st_dev && target.st_ino == file.st_ino) {
                found = true;
                break;
            }
        }
        ::closedir(descriptors);
    }
    ::closedir(proc);
    return found;
}

// Another process that opens the file while the lease is held breaks it, and the kernel tells the
// holder with SIGIO, whose default action ends the process: one service instance testing an image
// while another opens it would end the first. Nothing here waits for that signal, so it is ignored,
// unless somebody else has already taken it over.
void IgnoreLeaseBreakSignal() {
    static const bool ignored = [] {
        struct sigaction current {};
        if (::sigaction(SIGIO, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) {
            return false;
        }
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        return ::sigaction(SIGIO, &ignore, nullptr) == 0;
    }();
    static_cast<void>(ignored);
}

}  // namespace

bool IsFileReady(const std::string& path) {
    // Non-blocking, so that neither a FIFO nor another process's lease can make us wait.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd) {
        return false;
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        ModifiedWithinQuietPeriod(status)) {
        return false;
    }
    // A write lease is granted only while no other descriptor of the file is open anywhere on
    // this machine; it is released at once, so nobody else is ever kept waiting by it.
    IgnoreLeaseBreakSignal();
    if (::fcntl(fd.get(), F_SETLEASE, F_WRLCK) == 0) {
        ::fcntl(fd.get(), F_SETLEASE, F_UNLCK);
        return true;
    }
    if (errno == EACCES || errno == EINVAL) {
        fd.reset();
        return !IsOpenByAnyOtherProcess(status);
    }
    return false;
}

}  // namespace quillrun::platform
