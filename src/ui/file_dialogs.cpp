#include "ui/file_dialogs.h"

#include <QFileDialog>

namespace quillrun::ui {
namespace {

std::optional<QString> g_nextAnswer;
FileDialogs::Request g_lastRequest;

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
    dialog->setNameFilters(
        {QStringLiteral("Text Files (*.log *.txt)"), QStringLiteral("All Files (*)")});
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
