#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "app/main_dialog_view.h"
#include "resources/main_dialog_template.h"

namespace quillrun::test {

// A main window without a display: it starts with the controls' states as template 102 has them,
// keeps what the dialog's behaviour shows, raises a field's change notification as a real edit
// control does, and answers the standard dialogs as the test says.
class RecordingView : public app::MainDialogView {
  public:
    RecordingView() {
        for (const auto& control : res::kMainDialog.controls) {
            enabled[control.id] = (control.style & res::style::kDisabled) == 0;
        }
    }

    // The user types into a field.
    void type(int controlId, const std::string& value) { SetControlText(controlId, value); }

    void SetControlText(int controlId, const std::string& value) override {
        text[controlId] = value;
        if (dialog != nullptr) {
            dialog->OnFieldChanged(controlId, value);
        }
    }
    void EnableControl(int controlId, bool on) override {
        if (!on) {
            disabledInOrder.push_back(controlId);
        }
        enabled[controlId] = on;
    }
    void SetChecked(int controlId, bool on) override { checked[controlId] = on; }
    void FocusControl(int controlId) override { focus = controlId; }
    void MaskField(int controlId, char mask) override { masks[controlId] = mask; }
    void AddSystemMenuItem(unsigned command, const std::string& item) override {
        systemMenu[command] = item;
    }
    void EnableToolTips() override { toolTips = true; }
    void AppendLogText(const std::string& lines) override { log += lines; }
    void ShowMessage(const std::string& message) override { messages.push_back(message); }
    std::optional<std::string> ChooseFolder(const std::string& title) override {
        chooserTitles.push_back(title);
        return nextChoice;
    }
    std::optional<std::string> ChooseLogFile() override {
        chooserTitles.emplace_back("<log file>");
        return nextChoice;
    }
    unsigned ArmTimer(unsigned timerId, int intervalMs) override {
        timerInterval = intervalMs;
        return timerId;
    }
    void KillTimer(unsigned) override { timerInterval = 0; }
    platform::WaitVerdict ReaderRunning(const std::string& image,
                                        std::chrono::milliseconds) override {
        if (whileReading) {
            whileReading();
        }
        readerImages.push_back(image);
        return stopReader ? platform::WaitVerdict::EndProgram : platform::WaitVerdict::KeepWaiting;
    }
    void ReaderEnded() override { ++readerEnds; }
    void ShowStatisticsWindow(const PageStatsTable& records) override {
        statisticsShown = records.size();
    }
    void ShowHelp() override { helpOpen = true; }
    void CloseHelp() override { helpOpen = false; }
    void ShowAboutBox() override { ++aboutBoxes; }
    void EndDialog() override { ended = true; }

    app::MainDialog* dialog = nullptr;
    std::map<int, std::string> text;
    std::map<int, bool> enabled;
    std::map<int, bool> checked;
    std::vector<int> disabledInOrder;
    std::map<int, char> masks;
    std::map<unsigned, std::string> systemMenu;
    std::optional<int> focus;
    bool toolTips = false;
    std::string log;
    std::vector<std::string> messages;
    std::optional<std::string> nextChoice;
    std::vector<std::string> chooserTitles;
    int timerInterval = 0;
    std::function<void()> whileReading;
    std::vector<std::string> readerImages;
    bool stopReader = false;
    int readerEnds = 0;
    std::optional<std::size_t> statisticsShown;
    bool helpOpen = false;
    int aboutBoxes = 0;
    bool ended = false;
};

}  // namespace quillrun::test
