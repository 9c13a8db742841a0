#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/settings.h"

namespace quillrun::service {

// The name of the service on systems whose service manager knows its services by name (Windows),
// and of its event source there.
inline constexpr const char* kSystemServiceName = "Quillrun";

// What the service works with, and where it came from.
struct ServiceSetup {
    Settings settings;
    std::string readerPath;    // enclosed in double quotes, as the job needs it
    std::string settingsFile;  // the user hive the settings were read from
    bool settingsFileFound = false;
    std::string registrationFile;      // the machine hive that registers the reading program
    std::vector<std::string> notices;  // what the dialog would log at its start, in its words
    // The first reason the work cannot start, in the words and order of the dialog: the reading
    // program first, then the checks of OK. Nothing when it may start.
    std::optional<std::string> problem;
};

// Finds the reading program, reads the settings as the dialog does at its start, and checks
// them as its OK does.
ServiceSetup PrepareService();

// Where the settings came from and what they say (the password excepted), for --check.
std::string DescribeSetup(const ServiceSetup& setup);

}  // namespace quillrun::service
