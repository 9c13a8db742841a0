#include "resources/string_table.h"

#include <gtest/gtest.h>

#include <string>

#include "resources/main_dialog_template.h"
#include "resources/resource_ids.h"

namespace quillrun::res {
namespace {

TEST(StringTable, TheCommandArgumentsTipKeepsItsLayout) {
    const std::string text = LoadString(1007);
    EXPECT_NE(text.find("is:\n\n-in:^S -out:^D -x\n\nNote that \"^S\" will"), std::string::npos);
    EXPECT_NE(text.find("\n-d delete previous \"-in\" file \n"), std::string::npos);
    EXPECT_EQ(LoadString(101), "&About Quillrun...");
    EXPECT_EQ(LoadString(4711), "");
}

// A control shows the string of its own id as its tip: a tip keyed by an id that no control bears
// is never seen, and a control that bore the menu item's id would show the item as its tip.
TEST(StringTable, EveryStringButTheMenuItemExplainsAControlOfTheMainDialog) {
    constexpr int kLargestResourceId = 0xFFFF;
    for (int id = 0; id <= kLargestResourceId; ++id) {
        if (LoadString(id).empty()) {
            continue;
        }
        const bool isControl = kMainDialog.find(id) != nullptr;
        EXPECT_EQ(isControl, id != kAboutMenuStringId) << id;
    }
}

}  // namespace
}  // namespace quillrun::res
