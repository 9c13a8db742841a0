#pragma once

#include <chrono>
#include <memory>
#include <string>

#include <QDialog>

#include "platform/process.h"

class QLabel;
class QPushButton;

namespace quillrun::ui {

// Shown over the main dialog while the reading program works on one image, so that the dialog
// does not look dead and the user has a way to end a run that does not come back. It is modal:
// nothing else of the main dialog can be used meanwhile.
class ReaderProgressWindow : public QDialog {
    Q_OBJECT
  public:
    ReaderProgressWindow(QWidget* owner, const QString& imagePath);

    void SetElapsed(std::chrono::milliseconds elapsed);
    bool StopRequested() const { return m_stopRequested; }

  public slots:
    // Esc and the close box do not end the reading program; only Stop does, on purpose.
    void reject() override {}

  private:
    void OnStop();

    QLabel* m_elapsedLabel = nullptr;
    QPushButton* m_stopButton = nullptr;
    bool m_stopRequested = false;
};

// Called while the reading program works on image: shows the progress window over owner at the
// first call and then keeps it up to date. Events are processed so that the windows repaint and
// Stop can be pressed; the window is modal, so no other handler of the owner runs meanwhile.
platform::WaitVerdict ShowReaderProgress(std::unique_ptr<ReaderProgressWindow>& window,
                                         QWidget* owner, const std::string& image,
                                         std::chrono::milliseconds elapsed);

// "0:07", "12:34", "1:02:03".
QString FormatElapsed(std::chrono::milliseconds elapsed);

}  // namespace quillrun::ui
