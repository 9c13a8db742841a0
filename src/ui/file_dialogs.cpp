#include "ui/file_dialogs.h"

#include <QFileDialog>

#include "resources/browse_dialogs.h"

namespace quillrun::ui {
namespace {

std::optional<QString> g_nextAnswer;
FileDialogs::Request g_lastRequest;

// "Text Files (*.log *.txt)": Qt's form of a file type; Qt's wildcard for every file is "*".
QString NameFilter(const res::FileTypeFilter& filter) {
    QStringList patterns;
    for (const std::string_view extension : filter.extensions) {
        patterns << QStringLiteral("*.") + QString::fromLatin1(extension);
    }
    if (patterns.isEmpty()) {
        patterns << QStringLiteral("*");
    }
    return QString::fromLatin1(filter.name) + QStringLiteral(" (") +
           patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

std::optional<QString> TakeNextAnswer(FileDialogs::Request request) {
    g_lastRequest = std::move(request);
    std::optional<QString> answer;
    answer.swap(g_nextAnswer);
    return answer;
}

}  // namespace

QString FileDialogs::ChooseFolder(QWidget* owner, const QString& title) {
    if (auto answer = TakeNextAnswer({title, {}, true})) {
        return *answer;
    }
    // The chooser starts where the system puts it, not at the folder already named in the field.
    return QFileDialog::getExistingDirectory(owner, title, QString(), QFileDialog::ShowDirsOnly);
}

std::unique_ptr<QFileDialog> FileDialogs::CreateLogFileDialog(QWidget* owner) {
    auto dialog = std::make_unique<QFileDialog>(owner);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    // A log file is created by its first line, so a name that does not exist yet is accepted.
    dialog->setFileMode(QFileDialog::AnyFile);
    QStringList nameFilters;
    for (const res::FileTypeFilter& filter : res::kLogFileFilters) {
        nameFilters << NameFilter(filter);
    }
    dialog->setNameFilters(nameFilters);
    return dialog;
}

QString FileDialogs::ChooseLogFile(QWidget* owner) {
    std::unique_ptr<QFileDialog> dialog = CreateLogFileDialog(owner);
    if (auto answer = TakeNextAnswer({dialog->windowTitle(), dialog->nameFilters(), false})) {
        return *answer;
    }
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return {};
    }
    return dialog->selectedFiles().constFirst();
}

void FileDialogs::SetNextAnswer(const QString& answer) {
    g_nextAnswer = answer;
}

FileDialogs::Request FileDialogs::LastRequest() {
    return g_lastRequest;
}

}  // namespace quillrun::ui
