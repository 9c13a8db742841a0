#pragma once

#include "ui/shell/shell_template.h"

namespace quillrun::ui {

// Template 130: the Recognition Statistics window.
const ShellTemplate& PageStatsDialogTemplate();

}  // namespace quillrun::ui
