#include "app/main_dialog.h"

#include "resources/browse_dialogs.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "settings/settings_check.h"
#include "settings/settings_store.h"
#include "settings/start_up.h"

namespace quillrun::app {
namespace {

// The edit fields that mirror a text setting.
struct FieldBinding {
    int controlId;
    std::string Settings::*setting;
};

// In the order in which the fields show the settings once they are loaded.
constexpr FieldBinding kFieldBindings[] = {
    {kSourcePathEdit, &Settings::sourcePath},   {kDestPathEdit, &Settings::destPath},
    {kCommandArgsEdit, &Settings::commandArgs}, {kUserEdit, &Settings::user},
    {kPasswordEdit, &Settings::password},       {kLogPathEdit, &Settings::logPath},
};

// The buttons of the dialog and what pressing each one does.
struct ButtonHandler {
    int controlId;
    void (MainDialog::*handler)();
};

constexpr ButtonHandler kButtonHandlers[] = {
    {kOkButton, &MainDialog::OnOK},
    {kCancelButton, &MainDialog::OnCancel},
    {kSourceBrowseButton, &MainDialog::OnBrowseSource},
    {kDestBrowseButton, &MainDialog::OnBrowseDestination},
    {kLogBrowseButton, &MainDialog::OnBrowseLogFile},
    {kStatisticsButton, &MainDialog::OnStatistics},
    {kHelpButton, &MainDialog::OnHelp},
};

// The controls that stay locked once the work has started, in the order they are locked.
constexpr int kLockedWhileWorking[] = {kSourcePathEdit, kDestPathEdit, kSourceBrowseButton,
                                       kDestBrowseButton, kOkButton};

}  // namespace

MainDialog::MainDialog(MainDialogView& view) : m_view(view), m_work(view, m_settings) {}

bool MainDialog::OnInitDialog() {
    m_view.MaskField(kPasswordEdit, kPasswordMask);
    const std::string aboutItem = res::LoadString(kAboutMenuStringId);
    if (!aboutItem.empty()) {
        m_view.AddSystemMenuItem(kAboutCommand, aboutItem);
    }
    StartUp start = RunStartUp();
    if (start.problem) {
        m_view.ShowMessage(*start.problem);
        m_view.EndDialog();
        return false;
    }
    m_work.SetReaderPath(std::move(start.readerPath));
    m_view.EnableToolTips();
    m_settings = std::move(start.settings);
    ShowSettings();
    for (const std::string& notice : start.notices) {
        m_work.Log(notice);
    }
    m_work.SetStatus(kStatusCheckSettings);
    m_view.FocusControl(kSourcePathEdit);
    return true;
}

void MainDialog::ShowSettings() {
    const Settings& settings = m_settings;
    for (const FieldBinding& binding : kFieldBindings) {
        // The field's change notification copies the text back into the same setting, so it is
        // handed over as a copy that cannot change while it is being read.
        m_view.SetControlText(binding.controlId, std::string(settings.*binding.setting));
    }
    m_view.SetChecked(kLogActivityCheck, settings.writeLog);
    UpdateLogControls();
}

bool MainDialog::OnCommand(int controlId) {
    for (const ButtonHandler& button : kButtonHandlers) {
        if (button.controlId == controlId) {
            (this->*button.handler)();
            return true;
        }
    }
    return false;
}

void MainDialog::OnFieldChanged(int controlId, const std::string& text) {
    for (const FieldBinding& binding : kFieldBindings) {
        if (binding.controlId == controlId) {
            m_settings.*binding.setting = text;
            return;
        }
    }
}

void MainDialog::OnLogActivity(bool checked) {
    m_settings.writeLog = checked;
    UpdateLogControls();
}

void MainDialog::UpdateLogControls() {
    const bool enabled = m_settings.writeLog;
    m_view.EnableControl(kLogPathEdit, enabled);
    m_view.EnableControl(kLogBrowseButton, enabled);
}

bool MainDialog::ValidateSettings() {
    if (const std::optional<std::string> problem = CheckSettings(m_settings)) {
        m_view.ShowMessage(*problem);
        return false;
    }
    return true;
}

void MainDialog::OnOK() {
    // Once the work runs, OK is locked; Enter or anything else that would press it starts
    // nothing twice.
    if (m_work.running() || !ValidateSettings()) {
        return;
    }
    for (const int controlId : kLockedWhileWorking) {
        m_view.EnableControl(controlId, false);
    }
    m_work.Start();
}

void MainDialog::OnCancel() {
    // While a job runs the progress window has the user's attention: Stop ends the job first.
    if (m_work.readerRunning()) {
        return;
    }
    if (m_work.running()) {
        if (const std::optional<std::string> problem = SaveSettings(m_settings)) {
            m_view.ShowMessage(*problem);
        }
    }
    m_work.Stop();
    m_view.CloseHelp();
    m_view.EndDialog();
}

void MainDialog::BrowseForFolder(int fieldId, const char* title) {
    if (const std::optional<std::string> folder = m_view.ChooseFolder(title)) {
        m_view.SetControlText(fieldId, *folder);
    }
}

void MainDialog::OnBrowseSource() {
    BrowseForFolder(kSourcePathEdit, res::kSourceBrowseTitle);
}

void MainDialog::OnBrowseDestination() {
    BrowseForFolder(kDestPathEdit, res::kDestinationBrowseTitle);
}

void MainDialog::OnBrowseLogFile() {
    if (const std::optional<std::string> file = m_view.ChooseLogFile()) {
        m_view.SetControlText(kLogPathEdit, *file);
    }
}

void MainDialog::OnStatistics() {
    m_view.ShowStatisticsWindow(m_work.pageStats());
}

void MainDialog::OnHelp() {
    m_view.ShowHelp();
}

void MainDialog::OnSysCommand(unsigned nID) {
    switch (nID & kSystemCommandMask) {
        case kAboutCommand:
            m_view.ShowAboutBox();
            break;
        case kCloseCommand:
            OnCancel();
            break;
        default:
            break;
    }
}

std::string MainDialog::ToolTipText(int controlId) const {
    // Labels and group boxes have no id and explain nothing.
    return controlId > 0 ? res::LoadString(controlId) : std::string();
}

}  // namespace quillrun::app
