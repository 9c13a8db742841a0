#pragma once

#include <QString>

class QTextBrowser;
class QWidget;

namespace quillrun::ui {

// The path of the user guide beside the running executable.
QString HelpFilePath();

// Opens the user guide at its start in the help window, on top of owner and without blocking
// it, also while owner is modal; the window is made once and reused. A guide that cannot be read
// leaves a plain notice in the window instead.
void ShowHelp(QWidget* owner);

// The same for a guide at another path.
void ShowHelpFile(QWidget* owner, const QString& path);

// The help window while it exists, else nullptr.
QTextBrowser* HelpWindow();

// Closes the help window; the main dialog calls this as it closes. Harmless when none is open.
void CloseHelp();

}  // namespace quillrun::ui
