#pragma once

#include <memory>

#include <QString>
#include <QStringList>

class QMessageBox;
class QWidget;

namespace quillrun::ui {

// The program's message boxes: one OK button, no icon, captioned with the application name,
// modal to the window that owns them.
class MessageBox {
  public:
    // Shows the box and returns once the user has closed it.
    static void Show(QWidget* owner, const QString& text);
    static std::unique_ptr<QMessageBox> Create(QWidget* owner, const QString& text);

    // Test seam: while a recorder is set, boxes are not shown; their texts are appended to it.
    static void SetRecorder(QStringList* recorder);
};

}  // namespace quillrun::ui
