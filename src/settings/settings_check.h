#pragma once

#include <optional>
#include <string>

#include "settings/settings.h"

namespace quillrun {

inline constexpr const char* kNoSourceMessage = "You need to specify a source hierarchy first.";
inline constexpr const char* kBadSourceMessage = "The source hierarchy is not a valid folder.";
inline constexpr const char* kNoDestinationMessage =
    "You need to specify a destination hierarchy first.";
inline constexpr const char* kBadDestinationMessage =
    "The destination hierarchy is not a valid folder.";
inline constexpr const char* kNoLogPathMessage =
    "If you wish to log activity, specify a log file name and path.";

// The first reason why the work cannot start with these settings, in the order in which the user
// is asked to put them right; nothing when they may be used. Only what the work cannot do without
// is examined: the command arguments, the user name and the password are taken as they are.
std::optional<std::string> CheckSettings(const Settings& settings);

}  // namespace quillrun
