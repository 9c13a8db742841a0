#pragma once

#include <string>

namespace quillrun {

// Control ids of the main dialog that the settings are shown in.
enum SettingsControlId : int {
    kSourcePathEdit = 1000,
    kDestPathEdit = 1002,
    kCommandArgsEdit = 1007,
    kLogActivityCheck = 1008,
    kLogPathEdit = 1009,
    kLogBrowseButton = 1010,
    kPasswordEdit = 1013,
    kUserEdit = 1015,
};

// What loading the settings needs of the main dialog. Setting a field's text raises its change
// notification, whose handler copies the text back into the same member.
class SettingsView {
  public:
    virtual ~SettingsView() = default;
    virtual void SetFieldText(int controlId, const std::string& text) = 0;
    // Ticks or clears the "Log Activity" check box without raising a click.
    virtual void SetLogActivityChecked(bool checked) = 0;
    // Enables or disables the log file field and its Browse button (UpdateLogControls).
    virtual void UpdateLogControls() = 0;
};

}  // namespace quillrun
