#include "platform/folder_listing_test.h"

#include <chrono>
#include <optional>

namespace quillrun::platform {
namespace {

using test::TempTree;

TEST(FolderListing, ListsEveryEntryWithItsFolderAndLinkFlags) {
    TempTree tree;
    tree.writeFile(".hidden.tif");
    tree.writeFile("page.tif");
    tree.makeFolder("sub");
    const Listing expected = {
        {".hidden.tif", false, false}, {"page.tif", false, false}, {"sub", true, false}};
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

TEST(FileSystem, LookUpPathWithoutLinks) {
    TempTree tree;
    const std::string file = tree.writeFile("page.orx");
    const std::vector<std::pair<std::string, PathKind>> cases = {
        {file, PathKind::File},
        {tree.root(), PathKind::Folder},
        {tree.path("gone"), PathKind::Missing},
        {"", PathKind::Missing},
    };
    for (const auto& [path, kind] : cases) {
        const PathLookup found = LookUpPath(path);
        EXPECT_EQ(found.kind, kind) << path;
        EXPECT_FALSE(found.isLink) << path;
    }
}

TEST(FileSystem, FolderStampMovesWithEveryNewEntryAndBelongsToTheFolder) {
    TempTree tree;
    const std::string folder = tree.makeFolder("box");
    const auto past = std::chrono::system_clock::from_time_t(1000);
    ASSERT_TRUE(test::SetModifiedTime(folder, past));
    const std::optional<FolderStamp> before = GetFolderStamp(folder);
    ASSERT_TRUE(before);
    EXPECT_EQ(before->modified, past);
    EXPECT_GT(before->changed, before->modified);  // setting the time is a change of its own

    tree.writeFile("box/page.tif");
    const std::optional<FolderStamp> after = GetFolderStamp(folder);
    ASSERT_TRUE(after);
    EXPECT_EQ(after->identity, before->identity);
    EXPECT_GT(after->modified, before->modified);
    EXPECT_EQ(FolderListing(folder).stamp().modified, after->modified);
    EXPECT_EQ(FolderListing(folder).identity(), after->identity);

    tree.makeFolder("other");
    EXPECT_NE(GetFolderStamp(tree.path("other"))->identity, before->identity);
    EXPECT_FALSE(GetFolderStamp(tree.path("box/page.tif")));
    EXPECT_FALSE(GetFolderStamp(tree.path("missing")));
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
        {tree.path("file/x/y"), false}, {tree.path("a/" + std::string(300, 'n')), false},
    };
    for (const Case& c : cases) {
        const FileResult made = CreateFolderTree(c.folder);
        EXPECT_EQ(made.succeeded, c.made) << c.folder;
        // A failure comes with the system's reason, for the log line that reports it.
        EXPECT_EQ(made.error.message.empty(), c.made) << c.folder;
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
