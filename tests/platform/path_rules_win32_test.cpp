#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "platform/path_rules.h"
#include "support/temp_tree.h"

namespace quillrun::platform {
namespace {

using test::TempTree;

TEST(PathRulesWin32, ParentFolderUndoesTheJoinAndARootKeepsItsSeparator) {
    struct Case {
        std::string folder;
        std::string joined;
    };
    const Case cases[] = {
        {"C:\\scans", "C:\\scans\\page.tif"},
        {"C:\\", "C:\\page.tif"},
        {"\\\\server\\share\\", "\\\\server\\share\\page.tif"},
        {"scans", "scans\\page.tif"},              // relative
        {"C:\\scans\\", "C:\\scans\\\\page.tif"},  // a second separator is carried as typed
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JoinPath(c.folder, "page.tif"), c.joined) << c.folder;
        EXPECT_EQ(ParentFolder(c.joined), c.folder) << c.joined;
    }
    EXPECT_EQ(ParentFolder("page.tif"), std::nullopt);
}

TEST(PathRulesWin32, TrimmingNeverTurnsARootIntoAnotherFolder) {
    TempTree tree;
    struct Case {
        std::string typed;
        std::string trimmed;
        bool root;
    };
    const Case cases[] = {
        {"C:\\", "C:\\", true},  // "C:" would name drive C's current folder
        {"C:/", "C:/", true},
        {"\\\\server\\share\\", "\\\\server\\share\\", true},
        {"\\\\server\\share", "\\\\server\\share", true},
        {tree.root() + "\\", tree.root(), false},
        {tree.root() + "\\\\", tree.root() + "\\", false},
    };
    for (const Case& c : cases) {
        std::string folder = c.typed;
        TrimTrailingSeparator(folder);
        EXPECT_EQ(folder, c.trimmed) << c.typed;
        EXPECT_EQ(IsRoot(folder), c.root) << c.typed;
    }
    const FolderListing typed("C:\\");
    const FolderListing trimmed(FolderToOpen("C:\\"));
    ASSERT_TRUE(trimmed.isOpen());
    EXPECT_EQ(trimmed.identity(), typed.identity());
    EXPECT_FALSE(IsRoot("C:\\scans"));
}

TEST(PathRulesWin32, RebasedPathKeepsItsPlaceBelowTheOtherFolder) {
    struct Case {
        const char* path;
        const char* from;
        const char* to;
        const char* rebased;
    };
    const Case cases[] = {
        {"C:\\in\\a\\b", "C:\\in", "D:\\out", "D:\\out\\a\\b"},
        {"C:\\in", "C:\\in", "D:\\out", "D:\\out"},
        {"C:\\a", "C:\\", "D:\\out", "D:\\out\\a"},  // from a drive's root
        {"C:\\in\\a", "C:\\in", "D:\\", "D:\\a"},    // to a drive's root
        {"\\\\server\\share\\a", "\\\\server\\share\\", "E:\\out", "E:\\out\\a"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RebasePath(c.path, c.from, c.to), c.rebased) << c.path;
    }
}

}  // namespace
}  // namespace quillrun::platform
