#include "ui/res/dialog_100.h"

#include <array>

namespace quillrun::ui {
namespace {

constexpr std::array kControls{
    ShellControl{-1, "", 11, 17, 20, 20, 0x50000003, "aboutIcon"},
    ShellControl{-1, "Quillrun Version 1.0", 40, 10, 119, 8, 0x50020080, "versionLabel"},
    ShellControl{-1, "Copyright (C) Tandrel", 40, 25, 119, 8, 0x50020000, "noticeLabel"},
    ShellControl{1, "OK", 178, 7, 50, 14, 0x50030001, "okButton"},
};

constexpr ShellTemplate kTemplate{100, "About Quillrun", 235, 55, kControls};

}  // namespace

const ShellTemplate& AboutDialogTemplate() {
    return kTemplate;
}

}  // namespace quillrun::ui
