#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <QDialog>
#include <QIcon>
#include <QTimer>

#include "engine/engine_host.h"
#include "engine/quillrun_engine.h"
#include "settings/settings_view.h"
#include "ui/dialog_template_builder.h"

class QCheckBox;
class QLineEdit;
class QMenu;
class QPlainTextEdit;

namespace quillrun::ui {

class ReaderProgressWindow;

inline constexpr const char* kReaderNotFoundMessage = "Orlavex was not found on this system!";

// The main window: the settings of the work, its status and activity log. It is the engine's
// host: the engine's members are the state every part of the program shares, and the dialog's
// fields mirror them.
class CQuillrunDlg : public QDialog, public EngineHost, public SettingsView {
    Q_OBJECT
  public:
    explicit CQuillrunDlg(QWidget* parent = nullptr);
    ~CQuillrunDlg() override;

    // Initialises the dialog and, unless the reading program is missing, shows it until it has
    // ended.
    int DoModal();
    // False when the dialog has ended already because the reading program was not found.
    bool OnInitDialog();
    // 1 when the work may start; 0 after a message box has said why not.
    int ValidateSettings();
    // A command of the dialog's menu: the About box, or one of the window's own commands.
    void OnSysCommand(unsigned nID);

    QuillrunEngine& engine() { return m_engine; }
    QWidget* control(int controlId) const;
    QMenu* systemMenu() const { return m_systemMenu; }

    // EngineHost
    void SetStatusText(const std::string& text) override;
    void AppendLogText(const std::string& text) override;
    unsigned ArmTimer(unsigned timerId, int intervalMs) override;
    void KillTimer(unsigned timerId) override;
    void EnableStatisticsButton() override;
    platform::WaitVerdict ReaderRunning(const std::string& image,
                                        std::chrono::milliseconds elapsed) override;
    void ReaderEnded() override;

    // SettingsView
    void SetFieldText(int controlId, const std::string& text) override;
    void SetLogActivityChecked(bool checked) override;
    void UpdateLogControls() override;

  public slots:
    void OnOK();
    // A tick of the work cycle's timer.
    void OnTimer();
    // OK never closes the dialog; it starts the work.
    void accept() override { OnOK(); }
    // Cancel, Esc, the close box and the menu's Close all end here.
    void reject() override { OnCancel(); }

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void OnCancel();
    void BindFields();
    void ConnectButtons();
    void BuildSystemMenu();
    void ShowSystemMenu(const QPoint& globalPos);
    void EnableToolTips();
    bool OnToolTipText(QWidget* control, const QPoint& globalPos);
    void OnLogActivity();
    void OnBrowseSource();
    void OnBrowseDestination();
    void OnBrowseLogFile();
    QLineEdit* lineEdit(int controlId) const;

    QuillrunEngine m_engine;
    QIcon m_hIcon;
    std::string m_toolTipText;
    std::vector<BuiltControl> m_controls;
    QCheckBox* m_logActivityCheck = nullptr;
    QPlainTextEdit* m_activityLog = nullptr;
    QMenu* m_systemMenu = nullptr;
    QTimer m_workTimer;
    std::unique_ptr<ReaderProgressWindow> m_progress;
    bool m_readerRunning = false;
};

}  // namespace quillrun::ui
