#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/settings.h"

namespace quillrun {

// What every front end starts its work with.
struct StartUp {
    // Why the program cannot start (kReaderNotFoundMessage): the front end says so and ends.
    // Then nothing else has been read.
    std::optional<std::string> problem;
    std::string readerPath;            // enclosed in double quotes, as the jobs need it
    Settings settings;                 // the stored ones over the values of a first start
    std::vector<std::string> notices;  // lines for the activity log, in their order
};

// The start of every front end, in its order: finds the reading program, stops when it is
// missing, converts a password kept in clear, and loads the settings.
StartUp RunStartUp();

}  // namespace quillrun
