#pragma once

#include <array>

#include "resources/dialog_template.h"
#include "resources/resource_ids.h"

namespace quillrun::res {

namespace main_dialog {
using enum ControlClass;
using namespace style;

// The forms the controls of template 102 take; every control is a visible child.
inline constexpr std::uint32_t kShown = kChild | kVisible;
inline constexpr std::uint32_t kFrame = kShown | kGroupBox;
inline constexpr std::uint32_t kField = kShown | kBorder | kTabStop | kEditAutoHorizontalScroll;
inline constexpr std::uint32_t kButton = kShown | kTabStop | kPushButton;
inline constexpr std::uint32_t kLabel = kShown | kGroup | kStaticRight;

// Template 102, control for control.
inline constexpr std::array kControls{
    TemplateControl{kNoControlId, Button, "&Source Hierarchy", 7, 7, 268, 28, kFrame,
                    "sourceGroup"},
    TemplateControl{kSourcePathEdit, Edit, "", 13, 15, 183, 13, kField, "sourcePathEdit"},
    TemplateControl{kSourceBrowseButton, Button, "Browse", 212, 15, 51, 14, kButton,
                    "sourceBrowseButton"},
    TemplateControl{kNoControlId, Button, "&Destination Hierarchy", 7, 38, 268, 27, kFrame,
                    "destGroup"},
    TemplateControl{kDestPathEdit, Edit, "", 13, 48, 183, 13, kField, "destPathEdit"},
    TemplateControl{kDestBrowseButton, Button, "Browse", 211, 47, 51, 14, kButton,
                    "destBrowseButton"},
    TemplateControl{kNoControlId, Button, "", 7, 86, 322, 27, kFrame, "logGroup"},
    TemplateControl{kLogActivityCheck, Button, "&Log Activity", 13, 97, 53, 9,
                    kShown | kTabStop | kAutoCheckBox, "logActivityCheck"},
    TemplateControl{kLogPathEdit, Edit, "", 70, 96, 188, 12, kField, "logPathEdit"},
    TemplateControl{kLogBrowseButton, Button, "Browse", 272, 95, 50, 14, kButton,
                    "logBrowseButton"},
    TemplateControl{kNoControlId, Static, "&Command Arguments:", 7, 119, 74, 9, kLabel,
                    "commandArgsLabel"},
    TemplateControl{kCommandArgsEdit, Edit, "", 87, 116, 242, 12, kField, "commandArgsEdit"},
    TemplateControl{kNoControlId, Static, "S&tatus:", 7, 134, 74, 9, kLabel, "statusLabel"},
    TemplateControl{kStatusEdit, Edit, "", 87, 133, 242, 12,
                    kShown | kBorder | kEditReadOnly | kEditAutoHorizontalScroll, "statusEdit"},
    TemplateControl{kNoControlId, Button, "&Activity Log", 7, 146, 330, 94, kFrame | kButtonCentre,
                    "activityLogGroup"},
    TemplateControl{kActivityLogEdit, Edit, "", 16, 157, 313, 74,
                    kShown | kBorder | kVerticalScroll | kHorizontalScroll | kTabStop |
                        kEditReadOnly | kEditMultiLine,
                    "activityLogEdit"},
    TemplateControl{kOkButton, Button, "OK", 287, 7, 50, 14, kShown | kTabStop | kDefaultPushButton,
                    "okButton"},
    TemplateControl{kCancelButton, Button, "Cancel", 287, 25, 50, 14, kButton, "cancelButton"},
    // Enabled once the first pages have been recorded.
    TemplateControl{kStatisticsButton, Button, "Statisti&cs...", 287, 47, 50, 15,
                    kButton | kDisabled, "statisticsButton"},
    TemplateControl{kHelpButton, Button, "Help", 270, 70, 50, 14, kButton, "helpButton"},
    TemplateControl{kNoControlId, Static, "&Username:", 15, 73, 40, 12, kLabel, "userLabel"},
    TemplateControl{kUserEdit, Edit, "", 68, 73, 57, 12, kField, "userEdit"},
    TemplateControl{kNoControlId, Static, "&Password:", 125, 73, 40, 12, kLabel, "passwordLabel"},
    // Made a password field when the dialog starts, not by the template.
    TemplateControl{kPasswordEdit, Edit, "", 178, 73, 69, 12, kField, "passwordEdit"},
};
}  // namespace main_dialog

// The main dialog, template 102: no minimise or maximise box, and a button on the taskbar.
inline constexpr DialogTemplate kMainDialog{
    .id = kMainDialogId,
    .caption = "Quillrun",
    .width = 344,
    .height = 247,
    .style = style::kPopup | style::kVisible | style::kCaption | style::kSystemMenu |
             style::kModalFrame | style::kSetFont,
    .extendedStyle = style::kAppWindow,
    .font = {"MS Sans Serif", 8},
    .controls = main_dialog::kControls,
};

}  // namespace quillrun::res
