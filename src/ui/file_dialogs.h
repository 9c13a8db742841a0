#pragma once

#include <memory>
#include <optional>

#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

namespace quillrun::ui {

// The system's folder and file choosers. Each returns a full path, or the empty text when the
// user cancelled.
class FileDialogs {
  public:
    static QString ChooseFolder(QWidget* owner, const QString& title);
    // The log file: an existing file, or the name of one that the first log line will create.
    static QString ChooseLogFile(QWidget* owner);
    static std::unique_ptr<QFileDialog> CreateLogFileDialog(QWidget* owner);

    // Test seam: the next chooser is not shown; it answers with answer (empty: cancelled) and
    // remembers what it was asked.
    struct Request {
        QString title;
        QStringList nameFilters;
        bool folder = false;
    };
    static void SetNextAnswer(const QString& answer);
    static Request LastRequest();
};

}  // namespace quillrun::ui
