#include "resources/dialog_template.h"

#include <gtest/gtest.h>

#include <set>
#include <string_view>

#include "resources/about_dialog_template.h"
#include "resources/main_dialog_template.h"
#include "resources/page_stats_dialog_template.h"

namespace quillrun::res {
namespace {

TEST(DialogTemplates, ControlsAreVisibleChildrenInsideTheDialogWithIdsAndNamesOfTheirOwn) {
    constexpr std::uint32_t kShown = style::kChild | style::kVisible;
    for (const DialogTemplate* dialog : {&kMainDialog, &kAboutDialog, &kPageStatsDialog}) {
        SCOPED_TRACE(dialog->id);
        std::set<int> ids;
        std::set<std::string_view> names;
        for (const TemplateControl& control : dialog->controls) {
            SCOPED_TRACE(control.objectName);
            // The dialog's code reaches a control by its id; tests and style sheets by its name.
            if (control.id != kNoControlId) {
                EXPECT_TRUE(ids.insert(control.id).second) << "id used twice";
            }
            EXPECT_FALSE(std::string_view(control.objectName).empty());
            EXPECT_TRUE(names.insert(control.objectName).second) << "name used twice";
            // A native front end would not show a control without these; Qt shows it anyway.
            EXPECT_EQ(control.style & kShown, kShown);
            // Beyond the client area a control would be cut off.
            EXPECT_GE(control.x, 0);
            EXPECT_GE(control.y, 0);
            EXPECT_LE(control.x + control.width, dialog->width);
            EXPECT_LE(control.y + control.height, dialog->height);
        }
    }
}

}  // namespace
}  // namespace quillrun::res
