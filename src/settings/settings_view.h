#pragma once

#include <string>

// The settings are shown in the main dialog's controls, named by their ids.
#include "resources/resource_ids.h"

namespace quillrun {

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
