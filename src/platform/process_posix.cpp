#include "platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "platform/system_error_posix.h"
#include "platform/unique_fd.h"

extern char** environ;

namespace quillrun::platform {
namespace {

using Clock = std::chrono::steady_clock;

// RAII for the two attribute objects posix_spawn takes.
class SpawnSetup {
  public:
    SpawnSetup() {
        ::posix_spawn_file_actions_init(&m_actions);
        ::posix_spawnattr_init(&m_attributes);
        // The reading program never reads standard input; give it nothing to wait on.
        ::posix_spawn_file_actions_addopen(&m_actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        // Descriptors opened by libraries without O_CLOEXEC must not leak into it either.
        ::posix_spawn_file_actions_addclosefrom_np(&m_actions, STDERR_FILENO + 1);
        sigset_t noSignals;
        sigset_t allSignals;
        sigemptyset(&noSignals);
        sigfillset(&allSignals);
        ::posix_spawnattr_setsigmask(&m_attributes, &noSignals);
        ::posix_spawnattr_setsigdefault(&m_attributes, &allSignals);
        ::posix_spawnattr_setflags(&m_attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    }
    ~SpawnSetup() {
        ::posix_spawnattr_destroy(&m_attributes);
        ::posix_spawn_file_actions_destroy(&m_actions);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    const posix_spawn_file_actions_t* actions() const { return &m_actions; }
    const posix_spawnattr_t* attributes() const { return &m_attributes; }

  private:
    posix_spawn_file_actions_t m_actions{};
    posix_spawnattr_t m_attributes{};
};

// A descriptor that becomes readable when the process ends, so the wait wakes at once instead of
// at the next poll. Called through syscall(): the C library's wrapper lacks C linkage here.
int OpenProcessFd(pid_t pid) {
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

bool Reap(pid_t pid, int options) {
    for (;;) {
        int status = 0;
        const pid_t result = ::waitpid(pid, &status, options);
        if (result == pid) {
            return true;
        }
        if (result < 0 && errno == EINTR) {
            continue;
        }
        // 0: still running; -1 otherwise: not our child any more, nothing left to wait for.
        return result < 0;
    }
}

// Sleeps until the program may have ended or the poll interval has passed.
void AwaitChange(const UniqueFd& processFd) {
    if (processFd) {
        pollfd entry{processFd.get(), POLLIN, 0};
        ::poll(&entry, 1, static_cast<int>(kWaitPollInterval.count()));
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

class ProgramWatch {
  public:
    ProgramWatch(pid_t pid, const WaitObserver& observer)
        : m_pid(pid), m_observer(observer), m_processFd(OpenProcessFd(pid)) {}

    // Returns whether the observer asked for the program to be ended.
    bool waitForEnd() {
        const auto started = Clock::now();
        auto nextObservation = started + kWaitPollInterval;
        while (!Reap(m_pid, WNOHANG)) {
            AwaitChange(m_processFd);
            const auto now = Clock::now();
            if (now >= nextObservation) {
                nextObservation = now + kWaitPollInterval;
                observe(std::chrono::duration_cast<std::chrono::milliseconds>(now - started));
            }
            if (m_terminationRequested && !m_killed && now >= m_killDeadline) {
                ::kill(m_pid, SIGKILL);
                m_killed = true;
            }
        }
        return m_terminationRequested;
    }

  private:
    void observe(std::chrono::milliseconds elapsed) {
        if (m_observer(elapsed) == WaitVerdict::EndProgram && !m_terminationRequested) {
            ::kill(m_pid, SIGTERM);
            m_terminationRequested = true;
            m_killDeadline = Clock::now() + kTerminationGrace;
        }
    }

    pid_t m_pid;
    const WaitObserver& m_observer;
    UniqueFd m_processFd;
    bool m_terminationRequested = false;
    bool m_killed = false;
    Clock::time_point m_killDeadline{};
};

}  // namespace

ProgramRun RunProgram(const std::string& commandLine, const WaitObserver& observer) {
    std::vector<std::string> arguments = SplitCommandLine(commandLine);
    if (arguments.empty() || arguments.front().empty()) {
        return {false, SystemErrorFromErrno(ENOENT), false};
    }
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    const SpawnSetup setup;
    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, argv.front(), setup.actions(), setup.attributes(),
                                    argv.data(), environ);
    if (error != 0) {
        return {false, SystemErrorFromErrno(error), false};
    }
    if (!observer) {
        Reap(pid, 0);
        return {true, {}, false};
    }
    ProgramWatch watch(pid, observer);
    return {true, {}, watch.waitForEnd()};
}

}  // namespace quillrun::platform
