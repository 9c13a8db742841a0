#include "ui/shell/help_path.h"

namespace quillrun::ui {

std::string HelpPathFor(const std::string& executablePath) {
    const std::size_t separator = executablePath.rfind('/');
    if (separator == std::string::npos) {
        return kHelpFileName;
    }
    return executablePath.substr(0, separator + 1) + kHelpFileName;
}

}  // namespace quillrun::ui
