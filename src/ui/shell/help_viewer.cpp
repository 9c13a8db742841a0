#include "ui/shell/help_viewer.h"

#include <memory>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>

#include "app/help_path.h"
#include "ui/shell/application_icon.h"

namespace quillrun::ui {
namespace {

// The one help window. It is a child window of the dialog that asked for it: Qt does not block
// the children of a modal dialog, and it goes when the dialog goes.
QPointer<QTextBrowser>& TheHelpWindow() {
    static QPointer<QTextBrowser> window;
    return window;
}

QTextBrowser* HelpWindowFor(QWidget* owner) {
    QPointer<QTextBrowser>& window = TheHelpWindow();
    if (window != nullptr && window->parentWidget() != owner) {
        CloseHelp();
    }
    if (window == nullptr) {
        // Owned by owner through Qt's parent chain.
        auto made = std::make_unique<QTextBrowser>(owner);
        made->setWindowFlag(Qt::Window);
        made->setObjectName(QStringLiteral("helpViewer"));
        made->setWindowTitle(QStringLiteral("Quillrun Help"));
        made->setWindowIcon(ApplicationIcon());
        made->setOpenExternalLinks(true);
        made->resize(made->fontMetrics().averageCharWidth() * 100,
                     made->fontMetrics().height() * 45);
        window = made.release();
    }
    return window;
}

}  // namespace

QString HelpFilePath() {
    return QString::fromLocal8Bit(
        app::HelpPathFor(QCoreApplication::applicationFilePath().toLocal8Bit().toStdString()));
}

void ShowHelp(QWidget* owner) {
    ShowHelpFile(owner, HelpFilePath());
}

void ShowHelpFile(QWidget* owner, const QString& path) {
    QTextBrowser* window = HelpWindowFor(owner);
    const QFileInfo file(path);
    if (file.isFile() && file.isReadable()) {
        const QUrl start = QUrl::fromLocalFile(file.absoluteFilePath());
        if (window->source() == start) {
            window->reload();
        } else {
            window->setSource(start);
        }
    } else {
        // QTextBrowser would show an empty page and say why only on standard error.
        window->setPlainText(QStringLiteral("The help file could not be opened:\n%1")
                                 .arg(QDir::toNativeSeparators(path)));
    }
    window->verticalScrollBar()->setValue(0);
    window->horizontalScrollBar()->setValue(0);
    window->show();
    window->raise();
    window->activateWindow();
}

QTextBrowser* HelpWindow() {
    return TheHelpWindow();
}

void CloseHelp() {
    QPointer<QTextBrowser>& window = TheHelpWindow();
    if (window != nullptr) {
        // Destroying it takes it off its owner's children, so nothing is deleted twice.
        std::unique_ptr<QTextBrowser> closing(window.data());
        window = nullptr;
    }
}

}  // namespace quillrun::ui
