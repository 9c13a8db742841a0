#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <stdexcept>

#include "support/background_process.h"

extern char** environ;

namespace quillrun::test {

struct BackgroundProcess::Child {
    pid_t pid = -1;
};

BackgroundProcess::BackgroundProcess(const std::vector<std::string>& arguments, Console /*console*/)
    : m_child(std::make_unique<Child>()) {
    std::vector<std::string> copies = arguments;
    std::vector<char*> argv;
    for (std::string& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    if (::posix_spawn(&m_child->pid, argv.front(), nullptr, nullptr, argv.data(), environ) != 0) {
        throw std::runtime_error("cannot start " + arguments.front());
    }
}

BackgroundProcess::~BackgroundProcess() {
    if (m_child->pid > 0) {
        ::kill(m_child->pid, SIGKILL);
        wait();
    }
}

std::uint64_t BackgroundProcess::pid() const {
    return static_cast<std::uint64_t>(m_child->pid);
}

int BackgroundProcess::wait() {
    int status = 0;
    if (m_child->pid > 0) {
        while (::waitpid(m_child->pid, &status, 0) < 0 && errno == EINTR) {
        }
        m_child->pid = -1;
    }
    return status;
}

}  // namespace quillrun::test
