#include "platform/folder_listing_test.h"
#include "platform/win32/wide_text.h"

namespace quillrun::platform {
namespace {

// Names outside any ANSI code page come through the wide calls as UTF-8, and back.
TEST(FolderListingWin32, NamesInAnyScriptAreListedAsTheyAre) {
    test::TempTree tree;
    const std::string names[] = {"\xce\xb5\xce\xb9\xce\xba\xcf\x8c\xce\xbd\xce\xb1.tif",  // Greek
                                 "\xe6\x96\x87\xe6\x9b\xb8.pdf",                          // CJK
                                 "\xf0\x9f\x93\x84 page.tif"};  // outside the basic plane
    for (const std::string& name : names) {
        tree.writeFile(name);
        EXPECT_EQ(GetPathKind(tree.path(name)), PathKind::File) << name;
    }
    const auto listed = Listed(tree.root());
    ASSERT_EQ(listed.size(), std::size(names));
    for (const std::string& name : names) {
        EXPECT_NE(std::find(listed.begin(), listed.end(), std::make_tuple(name, false, false)),
                  listed.end())
            << name;
    }
}

TEST(WideText, ConversionIsExactBothWaysAndReplacesOnlyWhatIsNotUtf8) {
    struct Case {
        std::string utf8;
        std::wstring wide;
    };
    const Case exact[] = {
        {"", L""},
        {"plain", L"plain"},
        {"\xce\xb1\xce\xb2", L"\x03b1\x03b2"},
        {"\xf0\x9f\x93\x84", L"\xd83d\xdcc4"},
        // A lone surrogate, as a file name may hold one, keeps its three bytes.
        {"a\xed\xa0\x80z", L"a\xd800z"},
        {std::string("nul\0inside", 10), std::wstring(L"nul\0inside", 10)},
    };
    for (const Case& c : exact) {
        EXPECT_EQ(ToWide(c.utf8), c.wide) << c.utf8;
        EXPECT_EQ(ToUtf8(c.wide), c.utf8) << c.utf8;
    }
    const Case replaced[] = {
        {"\xff", L"\xfffd"},
        {"a\xe9z", L"a\xfffdz"},
        {"\xc0\xaf", L"\xfffd\xfffd"},  // an overlong slash
        {"\xe6\x96", L"\xfffd\xfffd"},  // cut short
    };
    for (const Case& c : replaced) {
        EXPECT_EQ(ToWide(c.utf8), c.wide) << c.utf8;
    }
}

}  // namespace
}  // namespace quillrun::platform
