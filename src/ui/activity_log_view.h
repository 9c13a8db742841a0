#pragma once

#include <string>

class QPlainTextEdit;

namespace quillrun::ui {

// Appends lines at the very end of the activity log field, whatever the user has selected there,
// and keeps the end in view. The core ends its lines in CR LF; the field shows plain lines.
void AppendToActivityLog(QPlainTextEdit& log, const std::string& text);

// From now on the field keeps only the newest lines: the oldest go as new ones come.
void LimitActivityLog(QPlainTextEdit& log, int lines);

}  // namespace quillrun::ui
