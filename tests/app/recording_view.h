#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "app/main_dialog_view.h"
#include "resources/main_dialog_template.h"

namespace quillrun::test {

// A main window without a display: it starts with the controls' states as template 102 has them,
// keeps what the dialog's behaviour shows, raises a field's change notification as a real edit
// control does, and answers the standard dialogs as the test says. What other threads hand to the
// dialog's thread waits until the test runs it.
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
    void ShowReaderProgress(const std::string& image) override {
        readerImages.push_back(image);
        if (whileReading) {
            whileReading();
        }
    }
    void SetReaderElapsed(std::chrono::milliseconds) override {}
    void CloseReaderProgress() override { ++readerEnds; }
    void RunOnDialogThread(std::function<void()> action) override {
        const std::lock_guard lock(m_postedMutex);
        m_posted.push_back(std::move(action));
        m_postedArrived.notify_one();
    }

    // Runs what was handed to the dialog's thread until done holds. False when nothing arrives
    // for a minute, so that a cycle that never ends fails the test rather than hangs it.
    bool runPostedUntil(const std::function<bool()>& done) {
        while (!done()) {
            std::vector<std::function<void()>> posted;
            {
                std::unique_lock lock(m_postedMutex);
                if (!m_postedArrived.wait_for(lock, std::chrono::minutes(1),
                                              [this] { return !m_posted.empty(); })) {
                    return false;
                }
                posted.swap(m_posted);
            }
            for (std::function<void()>& action : posted) {
                action();
            }
        }
        return true;
    }
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
    int readerEnds = 0;
    std::optional<std::size_t> statisticsShown;
    bool helpOpen = false;
    int aboutBoxes = 0;
    bool ended = false;

  private:
    std::mutex m_postedMutex;
    std::condition_variable m_postedArrived;
    std::vector<std::function<void()>> m_posted;
};

}  // namespace quillrun::test
