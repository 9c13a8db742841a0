#include "resources/string_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace quillrun::res {
namespace {

TEST(StringTable, TheCommandArgumentsTipIsEighteenLinesWithLineFeedsOnly) {
    const std::string text = LoadString(1007);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 17);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_NE(text.back(), '\n');
    EXPECT_NE(text.find("is:\n\n-in:^S -out:^D -x\n\nNote that \"^S\" will"), std::string::npos);
    EXPECT_NE(text.find("\n-d delete previous \"-in\" file \n"), std::string::npos);
    EXPECT_EQ(LoadString(101), "&About Quillrun...");
    EXPECT_EQ(LoadString(4711), "");
}

}  // namespace
}  // namespace quillrun::res
