#include "service/service_usage.h"

namespace quillrun::service {

const SystemUsage kSystemUsage{
    "",
    R"(Converts the source hierarchy into documents without a desktop, with the settings the
Quillrun dialog saved ($XDG_CONFIG_HOME/quillrun/user.reg, ~/.config/quillrun/user.reg when
the variable is not set). It starts at once and works until it receives SIGTERM or SIGINT.
Every activity-log line goes to standard output, and to the log file as the settings say.
)",
    "",
    R"(Exit status: 0 when ended by SIGTERM or SIGINT, or when --check finds the settings fine;
1 when a job could not run at all (the activity log says why); 2 for a bad command line
or settings that the dialog's OK would refuse.
)",
};

}  // namespace quillrun::service
