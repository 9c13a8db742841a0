#include "service/service_usage.h"

namespace quillrun::service {

const SystemUsage kSystemUsage{
    "       quillrun-service --import-settings\n",
    R"(Converts the source hierarchy into documents without a desktop, with the settings the
Quillrun dialog saved (HKEY_CURRENT_USER\Software\Tandrel\Quillrun of the account it runs as).
It starts at once. Started from a console, it works until Ctrl+C, Ctrl+Break or the console
is closed; started by the Service Control Manager as the service Quillrun, until the service
is stopped. Every activity-log line goes to standard output, and to the log file as the
settings say; as a service, its start, its stop and what ends it also go to the Application
event log, under the source Quillrun.
)",
    R"(  --import-settings   copy your settings to the account the service Quillrun runs as, so
                      that the service reads them as your dialog saved them
)",
    R"(Exit status: 0 when stopped, when --check finds the settings fine, or when
--import-settings has copied them; 1 when a job could not run at all (the activity log says
why) or the settings could not be copied; 2 for a bad command line or settings that the
dialog's OK would refuse. As a service, after 1 the Service Control Manager starts it again
30 s later; 2 is reported as the service-specific error 2, after which it is not restarted.
)",
};

}  // namespace quillrun::service
