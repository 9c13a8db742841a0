#pragma once

#include <array>

#include "resources/dialog_template.h"
#include "resources/resource_ids.h"

namespace quillrun::res {

namespace about_dialog {
using enum ControlClass;
using namespace style;

inline constexpr std::uint32_t kShown = kChild | kVisible;

// Template 100, control for control.
inline constexpr std::array kControls{
    TemplateControl{kNoControlId, Static, "", 11, 17, 20, 20, kShown | kStaticIcon, "aboutIcon"},
    TemplateControl{kNoControlId, Static, "Quillrun Version 1.0", 40, 10, 119, 8,
                    kShown | kGroup | kStaticLeft | kStaticNoPrefix, "versionLabel"},
    TemplateControl{kNoControlId, Static, "Copyright (C) Tandrel", 40, 25, 119, 8,
                    kShown | kGroup | kStaticLeft, "noticeLabel"},
    TemplateControl{kOkButton, Button, "OK", 178, 7, 50, 14,
                    kShown | kGroup | kTabStop | kDefaultPushButton, "okButton"},
};
}  // namespace about_dialog

// The About box, template 100.
inline constexpr DialogTemplate kAboutDialog{
    .id = kAboutDialogId,
    .caption = "About Quillrun",
    .width = 235,
    .height = 55,
    .style =
        style::kPopup | style::kCaption | style::kSystemMenu | style::kModalFrame | style::kSetFont,
    .extendedStyle = 0,
    .font = {"MS Sans Serif", 8},
    .controls = about_dialog::kControls,
};

}  // namespace quillrun::res
