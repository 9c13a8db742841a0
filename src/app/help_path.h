#pragma once

#include <string>

namespace quillrun::app {

inline constexpr const char* kHelpFileName = "Quillrun.html";

// The user guide lies beside the executable, whatever the executable is called (both front ends
// look for it there): the path of
// Quillrun.html in the folder of executablePath. A path without a folder names a file in the
// current folder, so the guide is looked for there too.
std::string HelpPathFor(const std::string& executablePath);

}  // namespace quillrun::app
