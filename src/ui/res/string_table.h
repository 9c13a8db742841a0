#pragma once

#include <string>

namespace quillrun::ui {

inline constexpr int kAboutMenuStringId = 101;

// The program's string table: the About item of the dialog's menu and the tooltips, keyed by the
// id of the control they explain. The empty text when there is no string with the id.
std::string LoadString(int id);

}  // namespace quillrun::ui
