#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QDialog>
#include <QIcon>
#include <QTimer>

#include "app/main_dialog.h"
#include "app/main_dialog_view.h"
#include "ui/activity_log_view.h"
#include "ui/control_tool_tips.h"
#include "ui/dialog_template_builder.h"
#include "ui/field_texts.h"
#include "ui/message_box.h"
#include "ui/reader_progress_window.h"
#include "ui/shell/about_dlg.h"
#include "ui/shell/help_viewer.h"
#include "ui/shell/page_stats_dlg.h"
#include "ui/system_menu.h"
#include "ui/system_text.h"

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
    QWidget* control(int controlId) const { return FindBuiltControl(m_controls, controlId); }
    QMenu* systemMenu() const { return m_systemMenu ? m_systemMenu->menu() : nullptr; }
    void OnSysCommand(unsigned nID) { m_behaviour.OnSysCommand(nID); }

  public slots:
    // OK never closes the dialog; it starts the work.
    void accept() override { m_behaviour.OnOK(); }
    // Cancel, Esc, the close box and the menu's Close all end here.
    void reject() override { m_behaviour.OnCancel(); }

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void ConnectControls();

    // MainDialogView
    void SetControlText(int controlId, const std::string& text) override;
    void EnableControl(int controlId, bool enabled) override {
        control(controlId)->setEnabled(enabled);
    }
    void SetChecked(int controlId, bool checked) override;
    void FocusControl(int controlId) override {
        control(controlId)->setFocus(Qt::OtherFocusReason);
    }
    void MaskField(int controlId, char mask) override;
    void AddSystemMenuItem(unsigned command, const std::string& text) override;
    void EnableToolTips() override;
    void AppendLogText(const std::string& text) override {
        AppendToActivityLog(*m_activityLog, text);
    }
    void ShowMessage(const std::string& text) override { MessageBox::Show(this, FromSystem(text)); }
    std::optional<std::string> ChooseFolder(const std::string& title) override;
    std::optional<std::string> ChooseLogFile() override;
    unsigned ArmTimer(unsigned timerId, int intervalMs) override;
    void KillTimer(unsigned /*timerId*/) override { m_workTimer.stop(); }
    void ShowReaderProgress(const std::string& image) override;
    void SetReaderElapsed(std::chrono::milliseconds elapsed) override {
        m_progress->SetElapsed(elapsed);
    }
    void CloseReaderProgress() override { m_progress.reset(); }
    void RunOnDialogThread(std::function<void()> action) override;
    void ShowStatisticsWindow(const PageStatsTable& records) override {
        ui::ShowStatisticsWindow(this, records);
    }
    void ShowHelp() override { ui::ShowHelp(this); }
    void CloseHelp() override { ui::CloseHelp(); }
    void ShowAboutBox() override { ui::ShowAboutBox(this); }
    void EndDialog() override { QDialog::reject(); }

    QIcon m_hIcon;
    std::vector<BuiltControl> m_controls;
    QPlainTextEdit* m_activityLog = nullptr;
    std::unique_ptr<SystemMenu> m_systemMenu;
    ControlToolTips* m_toolTips = nullptr;  // owned by the dialog
    FieldTexts m_fieldTexts;
    QTimer m_workTimer;
    std::unique_ptr<ReaderProgressWindow> m_progress;
    // Constructed last: its engine may call back into the view from the start.
    app::MainDialog m_behaviour;
};

}  // namespace quillrun::ui
