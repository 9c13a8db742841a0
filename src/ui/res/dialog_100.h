#pragma once

#include "ui/shell/shell_template.h"

namespace quillrun::ui {

// Template 100: the About box.
const ShellTemplate& AboutDialogTemplate();

}  // namespace quillrun::ui
