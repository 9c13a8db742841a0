#pragma once

#include <string>

namespace quillrun {

inline constexpr const char* kDefaultCommandArgs = "-in:^S -out:^D -nomessage -x";

// What the user sets up for a run, with the values a first start shows. The main dialog's fields
// edit it, the settings store keeps it between runs, and the engine reads it for every job.
struct Settings {
    std::string sourcePath;
    std::string destPath;
    std::string commandArgs = kDefaultCommandArgs;
    bool writeLog = true;
    std::string logPath;
    std::string user;
    std::string password;  // in clear; scrambled only where it is stored
};

}  // namespace quillrun
