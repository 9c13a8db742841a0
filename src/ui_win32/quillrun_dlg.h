#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/main_dialog.h"
#include "app/main_dialog_view.h"
#include "app/posted_actions.h"
#include "ui_win32/dialog_template_win32.h"
#include "ui_win32/reader_progress_window.h"
#include "ui_win32/window_handles.h"

namespace quillrun::win32ui {

// The main window in Win32: dialog 102 made by the system's dialog manager from the template of
// the resource library, showing what app::MainDialog asks and forwarding the user's actions to
// it. The behaviour is all MainDialog's.
class CQuillrunDlg : public app::MainDialogView {
  public:
    explicit CQuillrunDlg(HINSTANCE instance);
    ~CQuillrunDlg() override;
    CQuillrunDlg(const CQuillrunDlg&) = delete;
    CQuillrunDlg& operator=(const CQuillrunDlg&) = delete;

    // Shows the dialog until it has ended, unless the reading program is missing.
    void DoModal();
    // The same dialog as a window of its own that the caller's message loop serves (tests drive
    // it this way). Returns the window, or null when the dialog ended while it initialised.
    HWND Create();

    HWND window() const { return m_window; }
    bool ended() const { return m_ended; }
    app::MainDialog& behaviour() { return m_behaviour; }

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnCommand(int controlId, int notification);
    bool OnToolTipText(NMHDR& header);
    HWND Control(int controlId) const { return ::GetDlgItem(m_window, controlId); }
    std::string ControlText(int controlId) const;

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
    void ShowReaderProgress(const std::string& image) override;
    void SetReaderElapsed(std::chrono::milliseconds elapsed) override;
    void CloseReaderProgress() override;
    void RunOnDialogThread(std::function<void()> action) override;
    void ShowStatisticsWindow(const PageStatsTable& records) override;
    void ShowHelp() override;
    void CloseHelp() override;
    void ShowAboutBox() override;
    void EndDialog() override;

    HINSTANCE m_instance;
    DialogTemplateMemory m_template;
    HWND m_window = nullptr;
    bool m_modal = false;
    bool m_initialising = false;
    bool m_ended = false;
    UniqueIcon m_bigIcon;
    UniqueIcon m_smallIcon;
    HWND m_toolTip = nullptr;    // owned by the dialog's window, which destroys it
    std::wstring m_toolTipText;  // read by the tooltip after the handler has returned
    std::unique_ptr<ReaderProgressWindow> m_progress;
    app::PostedActions m_posted;  // other threads post to it
    // Constructed last: its engine may call back into the view from the start.
    app::MainDialog m_behaviour;
};

}  // namespace quillrun::win32ui
