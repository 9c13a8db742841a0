#pragma once

#include <QDialog>

namespace quillrun::ui {

// The About box: the application icon, the program's name and version, a notice line and OK.
class CAboutDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

// Opens the About box modally over owner and returns when it has been closed.
void ShowAboutBox(QWidget* owner);

}  // namespace quillrun::ui
