#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/page_stats.h"
#include "log/activity_log.h"

namespace quillrun::app {

// The on-screen activity log keeps this many of the newest lines: weeks of a busy run, while a
// month of a failing image (half a million lines) cannot fill the memory. The log file keeps
// every line.
inline constexpr int kActivityLogScreenLines = 100'000;

// What the main dialog's behaviour needs of a window: the controls of template 102 reached by
// their ids, the standard dialogs and the windows around the dialog. Each front end (Qt, Win32)
// implements it and forwards the user's actions to MainDialog; it holds no behaviour of its own.
class MainDialogView : public LogScreen {
  public:
    virtual ~MainDialogView() = default;

    // Replaces the text of an edit control. As with an edit by the user, the control then raises
    // its change notification, and MainDialog::OnFieldChanged copies the text into the setting.
    virtual void SetControlText(int controlId, const std::string& text) = 0;
    virtual void EnableControl(int controlId, bool enabled) = 0;
    // Ticks or clears a check box without raising a click.
    virtual void SetChecked(int controlId, bool checked) = 0;
    virtual void FocusControl(int controlId) = 0;
    // Shows every character of the field as mask.
    virtual void MaskField(int controlId, char mask) = 0;
    // Adds a separator and then the item to the window's system menu.
    virtual void AddSystemMenuItem(unsigned command, const std::string& text) = 0;
    // From now on, hovering over a control shows MainDialog::ToolTipText for it.
    virtual void EnableToolTips() = 0;

    // Appends text (whole lines, each ended by CR LF) at the very end of the activity log,
    // whatever is selected there, and keeps the end in view. The log shows at most
    // kActivityLogScreenLines lines: the oldest go as new ones come, at no growing cost per line.
    void AppendLogText(const std::string& text) override = 0;

    // A message box with one OK button, captioned with the application's name; returns once the
    // user has closed it.
    virtual void ShowMessage(const std::string& text) = 0;
    // The system's folder chooser; nothing when the user cancelled.
    virtual std::optional<std::string> ChooseFolder(const std::string& title) = 0;
    // The log file: an existing file or the name of one the first log line will create.
    virtual std::optional<std::string> ChooseLogFile() = 0;

    // Arms the work cycle's timer for one tick after intervalMs, delivered to MainDialog::OnTimer
    // on the dialog's thread; returns timerId, or 0 when arming failed.
    virtual unsigned ArmTimer(unsigned timerId, int intervalMs) = 0;
    virtual void KillTimer(unsigned timerId) = 0;

    // The progress window over the dialog while the reading program works on image: it shows the
    // image and the time taken, and its Stop calls MainDialog::OnStopReader. It is modal: nothing
    // else of the dialog can be used while it is up.
    virtual void ShowReaderProgress(const std::string& image) = 0;
    virtual void SetReaderElapsed(std::chrono::milliseconds elapsed) = 0;
    // Also called when the reading program ended before its window was shown.
    virtual void CloseReaderProgress() = 0;

    // From any thread: runs action on the dialog's thread, after the events already waiting
    // there, serialised with them.
    virtual void RunOnDialogThread(std::function<void()> action) = 0;

    // The Recognition Statistics window, modal; the work goes on while it is open.
    virtual void ShowStatisticsWindow(const PageStatsTable& records) = 0;
    // The user guide beside the executable, in a window that does not block the dialog.
    virtual void ShowHelp() = 0;
    virtual void CloseHelp() = 0;
    virtual void ShowAboutBox() = 0;

    // Ends the dialog; the program ends with it.
    virtual void EndDialog() = 0;
};

}  // namespace quillrun::app
