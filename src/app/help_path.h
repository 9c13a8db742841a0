#pragma once

#include <string>

namespace quillrun::ui {

inline constexpr const char* kHelpFileName = "Quillrun.html";

// The user guide lies beside the executable, whatever the executable is called: the path of
// Quillrun.html in the folder of executablePath. A path without a folder names a file in the
// current folder, so the guide is looked for there too.
std::string HelpPathFor(const std::string& executablePath);

}  // namespace quillrun::ui
