#pragma once

#include <chrono>
#include <functional>

#include <QDialog>

class QLabel;
class QPushButton;

namespace quillrun::ui {

// Shown over the main dialog while the reading program works on one image, so that the dialog
// does not look dead and the user has a way to end a run that does not come back. It is modal:
// nothing else of the main dialog can be used meanwhile.
class ReaderProgressWindow : public QDialog {
    Q_OBJECT
  public:
    // onStop runs once, when Stop is pressed.
    ReaderProgressWindow(QWidget* owner, const QString& imagePath, std::function<void()> onStop);

    void SetElapsed(std::chrono::milliseconds elapsed);

  public slots:
    // Esc and the close box do not end the reading program; only Stop does, on purpose.
    void reject() override {}

  private:
    void OnStop();

    QLabel* m_elapsedLabel = nullptr;
    QPushButton* m_stopButton = nullptr;
    std::function<void()> m_onStop;
};

}  // namespace quillrun::ui
