#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillrun::platform {

// Where programs keep their configuration on a desktop that follows the XDG base directories. A
// variable that is unset, empty or relative counts as unset. POSIX only: on Windows the settings
// live in the system's registry.

// $XDG_CONFIG_HOME, else .config in the home folder ($HOME, else the user database's entry);
// nothing when no home folder can be made out.
std::optional<std::string> UserConfigFolder();

// The absolute folders of $XDG_CONFIG_DIRS in their order, else /etc/xdg alone; never empty.
std::vector<std::string> SystemConfigFolders();

}  // namespace quillrun::platform
