#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/system_error.h"

namespace quillrun::platform {

// The entries a service makes in the system's log, besides its own output.
enum class ServiceLogEntry {
    Started,      // the work has started
    Stopped,      // it was asked to stop, and has
    WorkStopped,  // the work could not go on: it ends, to be started again
    Refused,      // its command line or settings are bad: it ends, and a restart would not mend it
};

// What a service tells the system's service manager besides its exit status, when that manager
// started it. systemd reads a service's output and exit status and needs nothing more; Windows'
// Service Control Manager is told when the work runs, and the Application event log receives
// the entries.
class ServiceManagerLink {
  public:
    virtual ~ServiceManagerLink() = default;

    // The work has started: from now on the service accepts requests to stop.
    virtual void ReportRunning() = 0;
    virtual void Log(ServiceLogEntry entry, const std::string& text) = 0;
};

// The link of a program that no service manager started: nobody to tell.
class NoServiceManager final : public ServiceManagerLink {
  public:
    void ReportRunning() override {}
    void Log(ServiceLogEntry /*entry*/, const std::string& /*text*/) override {}
};

// The account a service of the system's service manager runs as: its name as the manager keeps
// it ("NT AUTHORITY\\NetworkService"), and its security identifier ("S-1-5-20").
struct ServiceAccount {
    std::string name;
    std::string sid;
    bool isCurrentUser = false;  // the user who runs this program
};

struct ServiceAccountLookup {
    std::optional<ServiceAccount> account;
    SystemError error;  // why there is none
};

// The account the service name runs as. Windows only: systemd's units name their user.
ServiceAccountLookup FindServiceAccount(std::string_view name);

// Runs program as the service name of the system's service manager when that manager started
// this process, else as a program of the terminal or console it was started from, and returns
// its exit status: 0 after a requested stop, 1 when the work could not go on (the service
// manager is to start it again later), 2 for a command line or settings that a restart does not
// mend. On Windows, name is also the service's event source.
int RunService(std::string_view name, const std::function<int(ServiceManagerLink&)>& program);

}  // namespace quillrun::platform
