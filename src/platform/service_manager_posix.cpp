#include "platform/service_manager.h"

namespace quillrun::platform {

// systemd starts a service as a terminal starts a program, and reads its output and exit status.
int RunService(std::string_view /*name*/, const std::function<int(ServiceManagerLink&)>& program) {
    NoServiceManager manager;
    return program(manager);
}

}  // namespace quillrun::platform
