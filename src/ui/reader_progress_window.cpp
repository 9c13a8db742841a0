#include "ui/reader_progress_window.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/elapsed_time.h"
#include "ui/system_text.h"

namespace quillrun::ui {

ReaderProgressWindow::ReaderProgressWindow(QWidget* owner, const QString& imagePath,
                                           std::function<void()> onStop)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_onStop(std::move(onStop)) {
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
    m_elapsedLabel->setText(QStringLiteral("Elapsed time: ") +
                            QString::fromStdString(app::FormatElapsed(elapsed)));
}

void ReaderProgressWindow::OnStop() {
    m_stopButton->setEnabled(false);
    m_stopButton->setText(QStringLiteral("Stopping..."));
    m_onStop();
}

}  // namespace quillrun::ui
