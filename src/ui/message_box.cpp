#include "ui/message_box.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace quillrun::ui {
namespace {

QStringList* g_recorder = nullptr;

}  // namespace

void MessageBox::Show(QWidget* owner, const QString& text) {
    if (g_recorder != nullptr) {
        g_recorder->append(text);
        return;
    }
    Create(owner, text)->exec();
}

std::unique_ptr<QMessageBox> MessageBox::Create(QWidget* owner, const QString& text) {
    auto box = std::make_unique<QMessageBox>(
        QMessageBox::NoIcon, QCoreApplication::applicationName(), text, QMessageBox::Ok, owner);
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(owner != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
    return box;
}

void MessageBox::SetRecorder(QStringList* recorder) {
    g_recorder = recorder;
}

}  // namespace quillrun::ui
