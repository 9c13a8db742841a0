#pragma once

#include "settings/settings_view.h"

namespace quillrun::ui {

// The main dialog's controls that the settings do not show (those are in SettingsControlId).
enum MainDialogControlId : int {
    kOkButton = 1,
    kCancelButton = 2,
    kSourceBrowseButton = 1001,
    kDestBrowseButton = 1003,
    kActivityLogEdit = 1005,
    kStatusEdit = 1006,
    kStatisticsButton = 1012,
    kHelpButton = 57670,
};

}  // namespace quillrun::ui
