#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <algorithm>
#include <csignal>
#include <tuple>

#include "platform/file_system.h"
#include "support/temp_tree.h"

namespace quillrun::platform {
namespace {

using test::TempTree;

using Listing = std::vector<std::tuple<std::string, bool, bool>>;  // name, folder, link

Listing Listed(const std::string& folder) {
    FolderListing listing(folder);
    Listing entries;
    FolderEntry entry;
    while (listing.next(entry)) {
        entries.emplace_back(entry.name, entry.isFolder, entry.isLink);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

TEST(FolderListing, ListsEveryEntryWithItsFolderAndLinkFlagsFollowingLinks) {
    TempTree tree;
    tree.writeFile(".hidden.tif");
    tree.writeFile("page.tif");
    tree.makeFolder("sub");
    ASSERT_EQ(::symlink(tree.path("sub").c_str(), tree.path("link-to-sub").c_str()), 0);
    ASSERT_EQ(::symlink(tree.path("nowhere").c_str(), tree.path("broken").c_str()), 0);
    const Listing expected = {
        {".hidden.tif", false, false}, {"broken", false, true}, {"link-to-sub", true, true},
        {"page.tif", false, false},    {"sub", true, false},
    };
    EXPECT_EQ(Listed(tree.root()), expected);
    // A trailing separator names the same folder.
    EXPECT_EQ(Listed(tree.root() + "/"), expected);
}

TEST(FolderListing, FolderThatCannotBeListedYieldsNothing) {
    TempTree tree;
    tree.writeFile("file");
    for (const std::string& path : {tree.path("missing"), tree.path("file"), std::string(),
                                    tree.root() + "/" + std::string(5000, 'x')}) {
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

TEST(FileSystem, LookUpPathSaysWhetherALinkLedThere) {
    TempTree tree;
    const std::string file = tree.writeFile("page.orx");
    ASSERT_EQ(::symlink(file.c_str(), tree.path("linked.orx").c_str()), 0);
    ASSERT_EQ(::symlink(tree.path("gone").c_str(), tree.path("broken.orx").c_str()), 0);
    const std::vector<std::tuple<std::string, PathKind, bool>> cases = {
        {file, PathKind::File, false},
        {tree.path("linked.orx"), PathKind::File, true},
        {tree.path("broken.orx"), PathKind::Missing, true},
        {tree.root(), PathKind::Folder, false},
        {tree.path("gone"), PathKind::Missing, false},
        {"", PathKind::Missing, false},
    };
    for (const auto& [path, kind, isLink] : cases) {
        const PathLookup found = LookUpPath(path);
        EXPECT_EQ(found.kind, kind) << path;
        EXPECT_EQ(found.isLink, isLink) << path;
    }
}

TEST(FileSystem, FolderStampMovesWithEveryNewEntryAndBelongsToTheFolderNotThePath) {
    TempTree tree;
    const std::string folder = tree.makeFolder("box");
    const timespec past[2] = {{1000, 0}, {1000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, folder.c_str(), past, 0), 0);
    const std::optional<FolderStamp> before = GetFolderStamp(folder);
    ASSERT_TRUE(before);
    EXPECT_EQ(before->modified, std::chrono::system_clock::from_time_t(1000));
    EXPECT_GT(before->changed, before->modified);  // setting the time is a change of its own

    tree.writeFile("box/page.tif");
    const std::optional<FolderStamp> after = GetFolderStamp(folder);
    ASSERT_TRUE(after);
    EXPECT_EQ(after->identity, before->identity);
    EXPECT_GT(after->modified, before->modified);
    EXPECT_EQ(FolderListing(folder).stamp().modified, after->modified);

    ASSERT_EQ(::symlink(folder.c_str(), tree.path("link").c_str()), 0);
    EXPECT_EQ(GetFolderStamp(tree.path("link"))->identity, before->identity);
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
        {tree.path("file/x/y"), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CreateFolderTree(c.folder), c.made) << c.folder;
        EXPECT_EQ(GetPathKind(c.folder) == PathKind::Folder, c.made) << c.folder;
    }
    EXPECT_EQ(GetPathKind(file), PathKind::File);
}

TEST(FileSystem, WholeFileThatCannotBeWrittenLeavesTheOldFileAndNoTemporary) {
    TempTree tree;
    const std::string marker = tree.writeFile("page.bad", "old");
    // For a moment no file may grow past a few bytes: the write fails half-way, as on a full disk.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit oldLimit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    const rlimit smallLimit{4, oldLimit.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &smallLimit), 0);
    const FileResult written = WriteWholeFile(marker, "more than four bytes");
    ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(written.error.code, SystemErrorCode::NoSpace);  // the system's reason comes along
    EXPECT_EQ(test::ReadFile(marker), "old");
    EXPECT_EQ(Listed(tree.root()).size(), 1u);
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
