#pragma once

#include <windows.h>

namespace quillrun::platform {

// How a service's exit status reaches the Service Control Manager. Its recovery actions (start
// again after 30 s, as the installer sets them) run only for a service that ends without
// reporting SERVICE_STOPPED: the installer leaves the failure actions flag off, so that a stop
// reported with an error stays a stop. So the work that could not go on (1) ends the process
// without a report, and what a restart would not mend (2 and the like) is reported as a
// service-specific error.
struct ServiceExitReport {
    bool reportStopped = true;  // false: the process ends without telling, and is restarted
    DWORD win32ExitCode = NO_ERROR;
    DWORD serviceSpecificExitCode = 0;
};

ServiceExitReport ServiceExitReportFor(int exitStatus);

}  // namespace quillrun::platform
