#pragma once

#include <string>

namespace quillrun::res {

// The program's string table: the About item of the dialog's menu (kAboutMenuStringId) and the
// tooltips, keyed by the id of the control they explain. The empty text when there is no string
// with the id.
std::string LoadString(int id);

}  // namespace quillrun::res
