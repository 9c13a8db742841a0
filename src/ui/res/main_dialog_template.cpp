#include <array>

#include "ui/res/dialog_template.h"

namespace quillrun::ui {
namespace {

using enum ControlClass;

// Template 102, control for control; style bits as stored with the template.
constexpr std::array kControls{
    TemplateControl{-1, Button, "&Source Hierarchy", 7, 7, 268, 28, 0x50000007, "sourceGroup"},
    TemplateControl{1000, Edit, "", 13, 15, 183, 13, 0x50810080, "sourcePathEdit"},
    TemplateControl{1001, Button, "Browse", 212, 15, 51, 14, 0x50010000, "sourceBrowseButton"},
    TemplateControl{-1, Button, "&Destination Hierarchy", 7, 38, 268, 27, 0x50000007, "destGroup"},
    TemplateControl{1002, Edit, "", 13, 48, 183, 13, 0x50810080, "destPathEdit"},
    TemplateControl{1003, Button, "Browse", 211, 47, 51, 14, 0x50010000, "destBrowseButton"},
    TemplateControl{-1, Button, "", 7, 86, 322, 27, 0x50000007, "logGroup"},
    TemplateControl{1008, Button, "&Log Activity", 13, 97, 53, 9, 0x50010003, "logActivityCheck"},
    TemplateControl{1009, Edit, "", 70, 96, 188, 12, 0x50810080, "logPathEdit"},
    TemplateControl{1010, Button, "Browse", 272, 95, 50, 14, 0x50010000, "logBrowseButton"},
    TemplateControl{-1, Static, "&Command Arguments:", 7, 119, 74, 9, 0x50020002,
                    "commandArgsLabel"},
    TemplateControl{1007, Edit, "", 87, 116, 242, 12, 0x50810080, "commandArgsEdit"},
    TemplateControl{-1, Static, "S&tatus:", 7, 134, 74, 9, 0x50020002, "statusLabel"},
    TemplateControl{1006, Edit, "", 87, 133, 242, 12, 0x50800880, "statusEdit"},
    TemplateControl{-1, Button, "&Activity Log", 7, 146, 330, 94, 0x50000307, "activityLogGroup"},
    TemplateControl{1005, Edit, "", 16, 157, 313, 74, 0x50B10804, "activityLogEdit"},
    TemplateControl{1, Button, "OK", 287, 7, 50, 14, 0x50010001, "okButton"},
    TemplateControl{2, Button, "Cancel", 287, 25, 50, 14, 0x50010000, "cancelButton"},
    TemplateControl{1012, Button, "Statisti&cs...", 287, 47, 50, 15, 0x58010000,
                    "statisticsButton"},
    TemplateControl{57670, Button, "Help", 270, 70, 50, 14, 0x50010000, "helpButton"},
    TemplateControl{-1, Static, "&Username:", 15, 73, 40, 12, 0x50020002, "userLabel"},
    TemplateControl{1015, Edit, "", 68, 73, 57, 12, 0x50810080, "userEdit"},
    TemplateControl{-1, Static, "&Password:", 125, 73, 40, 12, 0x50020002, "passwordLabel"},
    TemplateControl{1013, Edit, "", 178, 73, 69, 12, 0x50810080, "passwordEdit"},
};

constexpr DialogTemplate kMainDialog{102, "Quillrun", 344, 247, kControls};

}  // namespace

const DialogTemplate& MainDialogTemplate() {
    return kMainDialog;
}

}  // namespace quillrun::ui
