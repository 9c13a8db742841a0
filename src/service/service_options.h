#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace quillrun::service {

inline constexpr unsigned kMostJobs = 256;
// A claim is renewed every 30 s: one that may expire sooner than two renewals would be taken
// from a holder that merely missed one.
inline constexpr std::chrono::seconds kShortestClaimExpiry{60};
inline constexpr std::chrono::seconds kLongestClaimExpiry{24 * 60 * 60};

struct ServiceOptions {
    bool help = false;
    bool check = false;              // only check the settings and say where they came from
    bool importSettings = false;     // copy the user's settings to the service's account
    std::optional<unsigned> jobs;    // images converted at once; the processors when not given
    std::string pageStatisticsFile;  // the CSV file page statistics are appended to; "" for none
    // How long a claim of another machine or container must stay unrenewed before it is taken
    // over; the engine's own default when not given.
    std::optional<std::chrono::seconds> claimExpiry;
    std::string metricsAddress;  // HOST:PORT the metrics and health probes are served on; ""
                                 // for none
};

struct ParsedOptions {
    std::optional<ServiceOptions> options;
    std::string error;  // why the command line was refused, when it was
};

// The command line after the program's name: --jobs N (or --jobs=N), --page-stats FILE (or
// --page-stats=FILE), --claim-expiry SECONDS (or --claim-expiry=SECONDS), --metrics HOST:PORT
// (or --metrics=HOST:PORT), --check, --help, and --import-settings where the system has it.
ParsedOptions ParseServiceOptions(const std::vector<std::string>& arguments);

// What --help prints.
std::string ServiceUsage();

}  // namespace quillrun::service
