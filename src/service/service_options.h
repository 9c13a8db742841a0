#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillrun::service {

inline constexpr unsigned kMostJobs = 256;

struct ServiceOptions {
    bool help = false;
    bool check = false;              // only check the settings and say where they came from
    bool importSettings = false;     // copy the user's settings to the service's account
    std::optional<unsigned> jobs;    // images converted at once; the processors when not given
    std::string pageStatisticsFile;  // the CSV file page statistics are appended to; "" for none
};

struct ParsedOptions {
    std::optional<ServiceOptions> options;
    std::string error;  // why the command line was refused, when it was
};

// The command line after the program's name: --jobs N (or --jobs=N), --page-stats FILE (or
// --page-stats=FILE), --check, --help, and --import-settings where the system has it.
ParsedOptions ParseServiceOptions(const std::vector<std::string>& arguments);

// What --help prints.
std::string ServiceUsage();

}  // namespace quillrun::service
