#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QDialog>
#include <QIcon>
#include <QTimer>

#include "app/main_dialog.h"
#include "app/main_dialog_view.h"
#include "ui/dialog_template_builder.h"

class QMenu;
class QPlainTextEdit;

namespace quillrun::ui {

class ReaderProgressWindow;

// The main window in Qt: dialog 102 built from its template, showing what app::MainDialog asks
// and forwarding the user's actions to it. The behaviour is all MainDialog's.
class CQuillrunDlg : public QDialog, public app::MainDialogView {
    Q_OBJECT
  public:
    explicit CQuillrunDlg(QWidget* parent = nullptr);
    ~CQuillrunDlg() override;

    // Initialises the dialog and, unless the reading program is missing, shows it until it has
    // ended.
    int DoModal();
    bool OnInitDialog() { return m_behaviour.OnInitDialog(); }

    app::MainDialog& behaviour() { return m_behaviour; }
    QuillrunEngine& engine() { return m_behaviour.engine(); }
    QWidget* control(int controlId) const;
    QMenu* systemMenu() const { return m_systemMenu; }
    void OnSysCommand(unsigned nID) { m_behaviour.OnSysCommand(nID); }

  public slots:
    // OK never closes the dialog; it starts the work.
    void accept() override { m_behaviour.OnOK(); }
    // Cancel, Esc, the close box and the menu's Close all end here.
    void reject() override { m_behaviour.OnCancel(); }

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ConnectControls();
    void ShowSystemMenu(const QPoint& globalPos);
    void ShowToolTip(QWidget* control, const QPoint& globalPos);

    // MainDialogView
    void SetControlText(int controlId, const std::string& text) override;
    void EnableControl(int controlId, bool enabled) override;
    void SetChecked(int controlId, bool checked) override;
    void FocusControl(int controlId) override;
    void MaskField(int controlId, char mask) override;
    void AddSystemMenuItem(unsigned command, const std::string& text) override;
    void EnableToolTips() override;
    void AppendLogText(const std::string& text) override;
    void ShowMessage(const std::string& text) override;
    std::optional<std::string> ChooseFolder(const std::string& title) override;
    std::optional<std::string> ChooseLogFile() override;
    unsigned ArmTimer(unsigned timerId, int intervalMs) override;
    void KillTimer(unsigned timerId) override;
    platform::WaitVerdict ReaderRunning(const std::string& image,
                                        std::chrono::milliseconds elapsed) override;
    void ReaderEnded() override;
    void ShowStatisticsWindow(const std::vector<PageStats>& records) override;
    void ShowHelp() override;
    void CloseHelp() override;
    void ShowAboutBox() override;
    void EndDialog() override;

    QIcon m_hIcon;
    std::vector<BuiltControl> m_controls;
    QPlainTextEdit* m_activityLog = nullptr;
    QMenu* m_systemMenu = nullptr;
    QTimer m_workTimer;
    std::unique_ptr<ReaderProgressWindow> m_progress;
    // The bytes each field was last given by the program: a text whose bytes do not decode in
    // the system's encoding comes back from the field as those bytes while it is left alone.
    std::map<int, std::string> m_fieldBytes;
    // Constructed last: its engine may call back into the view from the start.
    app::MainDialog m_behaviour;
};

}  // namespace quillrun::ui
