#include "ui/shell/help_path.h"

#include "platform/path_rules.h"

namespace quillrun::ui {

std::string HelpPathFor(const std::string& executablePath) {
    const std::optional<std::string> folder = platform::ParentFolder(executablePath);
    return folder ? platform::JoinPath(*folder, kHelpFileName) : std::string(kHelpFileName);
}

}  // namespace quillrun::ui
