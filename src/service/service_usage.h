#pragma once

#include <string_view>

namespace quillrun::service {

// What --help says differently on each system: further ways to call it, where the settings
// come from and what ends the work, the options of this system alone, and what the exit status
// tells this system's service manager.
struct SystemUsage {
    std::string_view synopsis;      // lines after the first usage line, each ending in a line feed
    std::string_view introduction;  // the paragraph after the usage lines
    std::string_view options;       // option lines before --help
    std::string_view exitStatus;    // the closing paragraph
};

extern const SystemUsage kSystemUsage;

}  // namespace quillrun::service
