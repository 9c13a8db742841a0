#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "support/scripted_reader.h"

namespace scripted_reader {

int HoldFile(const std::string& path, std::string_view mode, const std::string& ready,
             const std::string& release) {
    const int fd =
        ::open(path.c_str(), mode == "w" ? (O_WRONLY | O_APPEND | O_CREAT) : O_RDONLY, 0644);
    if (fd < 0) {
        std::perror("scripted_reader --hold");
        return 2;
    }
    WriteBytes(ready, "");
    WaitFor(release);
    ::close(fd);
    return 0;
}

int LockFile(const std::string& path, const std::string& ready, const std::string& release) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND);
    if (fd < 0 || ::flock(fd, LOCK_EX) != 0) {
        std::perror("scripted_reader --lock");
        return 2;
    }
    WriteBytes(ready, "");
    WaitFor(release);
    ::close(fd);
    return 0;
}

void Crash() {
    ::raise(SIGSEGV);
    std::abort();
}

void SleepForever() {
    for (;;) {
        ::pause();
    }
}

void ListDescriptors(const std::string& path) {
    std::string numbers;
    DIR* folder = ::opendir("/proc/self/fd");
    if (folder == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(folder)) {
        if (entry->d_name[0] != '.' && std::atoi(entry->d_name) != ::dirfd(folder)) {
            numbers += std::string(entry->d_name) + " ";
        }
    }
    ::closedir(folder);
    WriteBytes(path, numbers);
}

void Tally(const std::string& path, const std::string& input) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644);
    if (fd >= 0) {
        const std::string line = input + "\n";
        [[maybe_unused]] const ssize_t written = ::write(fd, line.data(), line.size());
        ::close(fd);
    }
}

bool WaitForFlagWhileParentRuns(const std::string& flag) {
    const pid_t parent = ::getppid();
    for (int i = 0; i < 12000 && !Exists(flag); ++i) {
        if (::getppid() != parent) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return ::getppid() == parent;
}

void Burn(long milliseconds) {
    timespec start{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &start);
    const auto spent = [&start] {
        timespec now{};
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return (now.tv_sec - start.tv_sec) * 1000L + (now.tv_nsec - start.tv_nsec) / 1'000'000L;
    };
    volatile std::uint64_t sink = 0;
    while (spent() < milliseconds) {
        for (int i = 0; i < 100000; ++i) {
            sink = sink * 6364136223846793005ULL + 1442695040888963407ULL;
        }
    }
}

void HoldDocumentUntil(const std::string& document, const std::string& flag) {
    // Opened before the fork, so the document is held by the time this program ends.
    const int fd = ::open(document.c_str(), O_RDONLY);
    if (::fork() == 0) {
        WaitFor(flag);
        _exit(0);
    }
    ::close(fd);
}

}  // namespace scripted_reader

int main(int argc, char** argv) {
    return scripted_reader::Run(std::vector<std::string>(argv, argv + argc));
}
