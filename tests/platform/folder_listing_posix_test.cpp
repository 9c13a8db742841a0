#include <unistd.h>

#include "platform/folder_listing_test.h"

namespace quillrun::platform {
namespace {

TEST(FolderListing, LinksToFoldersAreFoldersAndBrokenLinksFiles) {
    test::TempTree tree;
    tree.makeFolder("sub");
    ASSERT_EQ(::symlink(tree.path("sub").c_str(), tree.path("link-to-sub").c_str()), 0);
    ASSERT_EQ(::symlink(tree.path("nowhere").c_str(), tree.path("broken").c_str()), 0);
    const std::vector<std::pair<std::string, bool>> expected = {
        {"broken", false}, {"link-to-sub", true}, {"sub", true}};
    EXPECT_EQ(Listed(tree.root()), expected);
}

}  // namespace
}  // namespace quillrun::platform
