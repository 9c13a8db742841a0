#include "platform/folder_listing_test.h"

namespace quillrun::platform {
namespace {

using test::TempTree;

TEST(FolderListing, ListsEveryEntryWithItsFolderFlag) {
    TempTree tree;
    tree.writeFile(".hidden.tif");
    tree.writeFile("page.tif");
    tree.makeFolder("sub");
    const std::vector<std::pair<std::string, bool>> expected = {
        {".hidden.tif", false}, {"page.tif", false}, {"sub", true}};
    EXPECT_EQ(Listed(tree.root()), expected);
    // A trailing separator names the same folder.
    EXPECT_EQ(Listed(tree.path("")), expected);
}

TEST(FolderListing, FolderThatCannotBeListedYieldsNothing) {
    TempTree tree;
    tree.writeFile("file");
    for (const std::string& path : {tree.path("missing"), tree.path("file"), std::string(),
                                    tree.path(std::string(5000, 'x'))}) {
        FolderListing listing(path);
        FolderEntry entry;
        EXPECT_FALSE(listing.isOpen());
        EXPECT_FALSE(listing.next(entry));
    }
}

TEST(FileSystem, PathKindsAndFolderCreation) {
    TempTree tree;
    const std::string file = tree.writeFile("file");
    EXPECT_EQ(GetPathKind(file), PathKind::File);
    EXPECT_EQ(GetPathKind(tree.root()), PathKind::Folder);
    EXPECT_EQ(GetPathKind(tree.path("missing")), PathKind::Missing);
    EXPECT_EQ(GetPathKind(""), PathKind::Missing);

    EXPECT_TRUE(CreateFolder(tree.path("new")));
    EXPECT_FALSE(CreateFolder(tree.path("new")));  // exists already
    EXPECT_FALSE(CreateFolder(tree.path("a/b")));  // parent missing
    EXPECT_FALSE(CreateFolder(file));
}

TEST(FileSystem, FolderTreeIsBuiltLevelByLevelAndStopsAtAFileInTheWay) {
    TempTree tree;
    const std::string file = tree.writeFile("file");
    struct Case {
        std::string folder;
        bool made;
    };
    const Case cases[] = {
        {tree.path("a/b/c"), true},     {tree.path("a/b"), true},  // there already
        {tree.path("a/b/c/d/"), true},  {file, false},
        {tree.path("file/x/y"), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CreateFolderTree(c.folder), c.made) << c.folder;
        EXPECT_EQ(GetPathKind(c.folder) == PathKind::Folder, c.made) << c.folder;
    }
    EXPECT_EQ(GetPathKind(file), PathKind::File);
}

TEST(FileSystem, WholeFileReplacesAnOlderLongerFileAndLeavesNoTemporary) {
    TempTree tree;
    const std::string marker = tree.writeFile("page.bad", "a much longer older content");
    ASSERT_TRUE(WriteWholeFile(marker, "short"));
    EXPECT_EQ(test::ReadFile(marker), "short");
    EXPECT_EQ(Listed(tree.root()).size(), 1u);

    const std::string folder = tree.makeFolder("taken.bad");
    EXPECT_FALSE(WriteWholeFile(folder, "x"));
    EXPECT_FALSE(WriteWholeFile(tree.path("missing/page.bad"), "x"));
    EXPECT_EQ(Listed(tree.root()).size(), 2u);
}

}  // namespace
}  // namespace quillrun::platform
