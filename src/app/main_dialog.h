#pragma once

#include <string>

#include "app/main_dialog_view.h"
#include "app/work_cycle.h"
#include "settings/settings.h"

namespace quillrun::app {

inline constexpr char kPasswordMask = '*';

// The behaviour of the main window, whatever toolkit shows it: the order of its initialisation,
// the check of the settings before the work starts, the locking on OK, what Cancel saves, the
// fields that mirror the settings, the Browse buttons and the windows around the dialog. It owns
// the settings and the work; the view only shows and forwards the user's actions.
class MainDialog {
  public:
    explicit MainDialog(MainDialogView& view);

    const Settings& settings() const { return m_settings; }
    WorkCycle& work() { return m_work; }
    const WorkCycle& work() const { return m_work; }

    // False when the dialog has ended already because the reading program was not found; then
    // nothing has been loaded and nothing will be saved.
    bool OnInitDialog();

    // A button was pressed: the handler of that control runs. False when the control has none
    // (the "Log Activity" box reports its clicks through OnLogActivity, with its new state).
    bool OnCommand(int controlId);
    // A field's text changed, by the user or by the program: the setting it mirrors takes it.
    void OnFieldChanged(int controlId, const std::string& text);
    // The "Log Activity" check box was clicked.
    void OnLogActivity(bool checked);
    void UpdateLogControls();

    // True when the work may start; otherwise a message box has said why not.
    bool ValidateSettings();
    void OnOK();
    // Cancel, Esc, the close box and the system menu's Close all end here.
    void OnCancel();
    // A tick of the work cycle's timer.
    void OnTimer() { m_work.OnTimer(); }
    // Stop in the progress window.
    void OnStopReader() { m_work.StopReader(); }

    void OnBrowseSource();
    void OnBrowseDestination();
    void OnBrowseLogFile();
    void OnStatistics();
    void OnHelp();
    // A command of the system menu: the About box or the window's own Close.
    void OnSysCommand(unsigned nID);

    // What hovering over a control explains: its string in the string table, or nothing.
    std::string ToolTipText(int controlId) const;

  private:
    void ShowSettings();
    void BrowseForFolder(int fieldId, const char* title);

    MainDialogView& m_view;
    Settings m_settings;
    WorkCycle m_work;
};

}  // namespace quillrun::app
