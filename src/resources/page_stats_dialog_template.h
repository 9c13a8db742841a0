#pragma once

#include <array>

#include "resources/dialog_template.h"
#include "resources/resource_ids.h"

namespace quillrun::res {

namespace page_stats_dialog {
using enum ControlClass;
using namespace style;

inline constexpr std::uint32_t kShown = kChild | kVisible;

// Template 130, control for control.
inline constexpr std::array kControls{
    // Report view with clickable headings, multiple selection and no sort style of its own.
    TemplateControl{kStatisticsList, ListView, "", 7, 7, 413, 175,
                    kShown | kBorder | kTabStop | kListReport, "statisticsList"},
    TemplateControl{kOkButton, Button, "OK", 188, 200, 50, 14,
                    kShown | kTabStop | kDefaultPushButton, "okButton"},
};
}  // namespace page_stats_dialog

// The Recognition Statistics window, template 130.
inline constexpr DialogTemplate kPageStatsDialog{
    .id = kPageStatsDialogId,
    .caption = "Recognition Statistics",
    .width = 427,
    .height = 221,
    .style =
        style::kPopup | style::kCaption | style::kSystemMenu | style::kModalFrame | style::kSetFont,
    .extendedStyle = 0,
    .font = {"MS Sans Serif", 8},
    .controls = page_stats_dialog::kControls,
};

}  // namespace quillrun::res
