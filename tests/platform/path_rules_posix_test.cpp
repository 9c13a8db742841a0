#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "platform/path_rules.h"
#include "support/temp_tree.h"

namespace quillrun::platform {
namespace {

using test::TempTree;

TEST(PathRules, ParentFolderUndoesTheJoin) {
    struct Case {
        std::string folder;
        std::string joined;
    };
    const Case cases[] = {
        {"/srv/scans", "/srv/scans/page.tif"},
        {"/", "/page.tif"},                       // the root carries its separator
        {"scans", "scans/page.tif"},              // relative
        {"/srv/scans/", "/srv/scans//page.tif"},  // a second separator is carried as typed
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JoinPath(c.folder, "page.tif"), c.joined) << c.folder;
        EXPECT_EQ(ParentFolder(c.joined), c.folder) << c.joined;
    }
    EXPECT_EQ(ParentFolder("page.tif"), std::nullopt);
}

TEST(PathRules, TrimmedRootFieldStillNamesTheSameFolder) {
    TempTree tree;
    struct Case {
        std::string typed;
        std::string trimmed;
        bool root;
    };
    const Case cases[] = {
        {"/", "/", true},  // the root is never trimmed away
        {"//", "//", true},
        {tree.root(), tree.root(), false},
        {tree.root() + "/", tree.root(), false},
        {tree.root() + "//", tree.root() + "/", false},
    };
    for (const Case& c : cases) {
        std::string folder = c.typed;
        TrimTrailingSeparator(folder);
        EXPECT_EQ(folder, c.trimmed) << c.typed;
        EXPECT_EQ(IsRoot(folder), c.root) << c.typed;
        const FolderListing typed(c.typed);
        const FolderListing trimmed(FolderToOpen(folder));
        ASSERT_TRUE(trimmed.isOpen()) << c.typed;
        EXPECT_EQ(trimmed.identity(), typed.identity()) << c.typed;
    }
    EXPECT_FALSE(IsRoot("/srv"));
}

TEST(PathRules, RebasedPathKeepsItsPlaceBelowTheOtherFolder) {
    struct Case {
        const char* path;
        const char* from;
        const char* to;
        const char* rebased;
    };
    const Case cases[] = {
        {"/in/a/b", "/in", "/out", "/out/a/b"},
        {"/in", "/in", "/out", "/out"},
        {"/a/b", "/", "/out", "/out/a/b"},  // from the root
        {"/in/a", "/in", "/", "/a"},        // to the root
        {"/", "/", "/out", "/out"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RebasePath(c.path, c.from, c.to), c.rebased) << c.path;
    }
}

}  // namespace
}  // namespace quillrun::platform
