#include "ui/reader_progress_window.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/system_text.h"

namespace quillrun::ui {

ReaderProgressWindow::ReaderProgressWindow(QWidget* owner, const QString& imagePath)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("readerProgressWindow"));
    setWindowTitle(QCoreApplication::applicationName());
    setWindowModality(Qt::WindowModal);

    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(QStringLiteral("Converting"), this);
    heading->setObjectName(QStringLiteral("progressHeading"));
    layout->addWidget(heading);

    auto* image = new QLabel(imagePath, this);
    image->setObjectName(QStringLiteral("progressImage"));
    image->setTextFormat(Qt::PlainText);
    image->setTextInteractionFlags(Qt::TextSelectableByMouse);
    image->setWordWrap(true);
    layout->addWidget(image);

    // A range of 0..0 makes the bar a busy indicator: how long a job takes is not known.
    auto* busy = new QProgressBar(this);
    busy->setRange(0, 0);
    busy->setTextVisible(false);
    layout->addWidget(busy);

    auto* row = new QHBoxLayout();
    m_elapsedLabel = new QLabel(this);
    m_elapsedLabel->setObjectName(QStringLiteral("progressElapsed"));
    row->addWidget(m_elapsedLabel, 1);
    m_stopButton = new QPushButton(QStringLiteral("&Stop"), this);
    m_stopButton->setObjectName(QStringLiteral("progressStopButton"));
    m_stopButton->setToolTip(QStringLiteral(
        "Ends the reading program. An image left without a document gets a failure marker and "
        "is not tried again."));
    row->addWidget(m_stopButton);
    layout->addLayout(row);

    connect(m_stopButton, &QPushButton::clicked, this, &ReaderProgressWindow::OnStop);
    SetElapsed(std::chrono::milliseconds(0));
    setMinimumWidth(420);
}

void ReaderProgressWindow::SetElapsed(std::chrono::milliseconds elapsed) {
    m_elapsedLabel->setText(QStringLiteral("Elapsed time: ") + FormatElapsed(elapsed));
}

void ReaderProgressWindow::OnStop() {
    m_stopRequested = true;
    m_stopButton->setEnabled(false);
    m_stopButton->setText(QStringLiteral("Stopping..."));
}

QString FormatElapsed(std::chrono::milliseconds elapsed) {
    const long long seconds = std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
    const auto twoDigits = [](long long value) {
        return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
    };
    if (seconds >= 3600) {
        return QString::number(seconds / 3600) + QLatin1Char(':') + twoDigits(seconds / 60 % 60) +
               QLatin1Char(':') + twoDigits(seconds % 60);
    }
    return QString::number(seconds / 60) + QLatin1Char(':') + twoDigits(seconds % 60);
}

platform::WaitVerdict ShowReaderProgress(std::unique_ptr<ReaderProgressWindow>& window,
                                         QWidget* owner, const std::string& image,
                                         std::chrono::milliseconds elapsed) {
    if (window == nullptr) {
        window = std::make_unique<ReaderProgressWindow>(owner, FromSystem(image));
        window->show();
    }
    window->SetElapsed(elapsed);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return window->StopRequested() ? platform::WaitVerdict::EndProgram
                                   : platform::WaitVerdict::KeepWaiting;
}

}  // namespace quillrun::ui
