#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace quillrun::test {

// quillrun-service running beside the test, with its standard output and error in files. It is
// killed and waited for when the object goes away, if it has not ended by then.
class ServiceProcess {
  public:
    // outputFolder receives NAME.out and NAME.err.
    ServiceProcess(const std::vector<std::string>& arguments, const std::string& outputFolder,
                   const std::string& name);
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    void signal(int number) const;
    // The exit status once the program has ended, within the bounded wait; nothing when it has
    // not ended (or ended by a signal) by then.
    std::optional<int> waitForExit(int timeoutMs = 20000);

    std::string standardOutput() const;
    std::string standardError() const;

  private:
    pid_t m_pid = -1;
    std::optional<int> m_exitStatus;
    std::string m_outputPath;
    std::string m_errorPath;
};

// Runs the service to its end: its exit status, standard output and standard error.
struct ServiceResult {
    std::optional<int> status;
    std::string output;
    std::string error;
};
ServiceResult RunService(const std::vector<std::string>& arguments,
                         const std::string& outputFolder);

}  // namespace quillrun::test
