#pragma once

#include <optional>
#include <string>

#include "registration/reader_registration.h"

namespace quillrun {

// What every front end says, and then ends, when the reading program is not found.
inline constexpr const char* kReaderNotFoundMessage = "Orlavex was not found on this system!";

// Finds the reading program through its application-path registration: its path enclosed in
// double quotes, or nothing when it is not registered or is not a program this user can run.
std::optional<std::string> LocateReader();

}  // namespace quillrun
