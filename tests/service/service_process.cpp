#include "service/service_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <atomic>
#include <stdexcept>

#include "support/background_process.h"
#include "support/temp_tree.h"

extern char** environ;

namespace quillrun::test {

ServiceProcess::ServiceProcess(const std::vector<std::string>& arguments,
                               const std::string& outputFolder, const std::string& name)
    : m_outputPath(outputFolder + "/" + name + ".out"),
      m_errorPath(outputFolder + "/" + name + ".err") {
    std::vector<std::string> copies{QUILLRUN_SERVICE_PATH};
    copies.insert(copies.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, m_outputPath.c_str(),
                                       O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, m_errorPath.c_str(),
                                       O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int error = ::posix_spawn(&m_pid, argv.front(), &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        throw std::runtime_error("cannot start quillrun-service");
    }
}

ServiceProcess::~ServiceProcess() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
}

void ServiceProcess::signal(int number) const {
    ::kill(m_pid, number);
}

std::optional<int> ServiceProcess::waitForExit(int timeoutMs) {
    int status = 0;
    if (m_pid > 0 &&
        WaitUntil([&] { return ::waitpid(m_pid, &status, WNOHANG) == m_pid; }, timeoutMs)) {
        m_pid = -1;
        if (WIFEXITED(status)) {
            m_exitStatus = WEXITSTATUS(status);
        }
    }
    return m_exitStatus;
}

std::string ServiceProcess::standardOutput() const {
    return ReadFile(m_outputPath);
}

std::string ServiceProcess::standardError() const {
    return ReadFile(m_errorPath);
}

ServiceResult RunService(const std::vector<std::string>& arguments,
                         const std::string& outputFolder) {
    static std::atomic<int> runs{0};
    ServiceProcess service(arguments, outputFolder, "run-" + std::to_string(runs++));
    const std::optional<int> status = service.waitForExit();
    return {status, service.standardOutput(), service.standardError()};
}

}  // namespace quillrun::test
