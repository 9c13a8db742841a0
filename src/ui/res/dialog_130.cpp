#include "ui/res/dialog_130.h"

#include <array>

namespace quillrun::ui {
namespace {

constexpr std::array kControls{
    // Report view with clickable headers, multiple selection and no sort style of its own.
    ShellControl{1011, "", 7, 7, 413, 175, 0x50810001, "statisticsList"},
    ShellControl{1, "OK", 188, 200, 50, 14, 0x50010001, "okButton"},
};

constexpr ShellTemplate kTemplate{130, "Recognition Statistics", 427, 221, kControls};

}  // namespace

const ShellTemplate& PageStatsDialogTemplate() {
    return kTemplate;
}

}  // namespace quillrun::ui
