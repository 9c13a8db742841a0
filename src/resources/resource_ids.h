#pragma once

// The ids of Quillrun's resources and of the controls of its dialogs, each defined once. The
// numbers are those of the original program, so that a template, a string and the code that
// reaches a control agree on every front end.

namespace quillrun {

// Dialog templates.
inline constexpr int kAboutDialogId = 100;
inline constexpr int kMainDialogId = 102;
inline constexpr int kPageStatsDialogId = 130;

// The icon group of the application icon.
inline constexpr int kApplicationIconId = 129;

// The system menu's item that opens the About box, in the string table.
inline constexpr int kAboutMenuStringId = 101;

// Labels, group boxes and pictures have no id of their own.
inline constexpr int kNoControlId = -1;

// The platform's own ids of the OK and Cancel buttons, in every dialog that has them.
inline constexpr int kOkButton = 1;
inline constexpr int kCancelButton = 2;

// Controls of the main dialog (template 102), and the list of the statistics window (130).
inline constexpr int kSourcePathEdit = 1000;
inline constexpr int kSourceBrowseButton = 1001;
inline constexpr int kDestPathEdit = 1002;
inline constexpr int kDestBrowseButton = 1003;
inline constexpr int kActivityLogEdit = 1005;
inline constexpr int kStatusEdit = 1006;
inline constexpr int kCommandArgsEdit = 1007;
inline constexpr int kLogActivityCheck = 1008;
inline constexpr int kLogPathEdit = 1009;
inline constexpr int kLogBrowseButton = 1010;
inline constexpr int kStatisticsList = 1011;
inline constexpr int kStatisticsButton = 1012;
inline constexpr int kPasswordEdit = 1013;
inline constexpr int kUserEdit = 1015;
// The Help button bears the application framework's standard help command id (ID_HELP, 0xE146)
// rather than one of the dialog's own, as the framework routes that command to help.
inline constexpr int kHelpButton = 57670;

// Commands of the system menu. The platform keeps its own flags in a command's low four bits, so
// a command is compared only under kSystemCommandMask.
inline constexpr unsigned kAboutCommand = 0x0010;
inline constexpr unsigned kCloseCommand = 0xF060;
inline constexpr unsigned kSystemCommandMask = 0xFFF0;

}  // namespace quillrun
