#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include "platform/folder_listing_test.h"

namespace quillrun::platform {
namespace {

TEST(FolderListing, LinksToFoldersAreFoldersAndBrokenLinksFiles) {
    test::TempTree tree;
    tree.makeFolder("sub");
    ASSERT_EQ(::symlink(tree.path("sub").c_str(), tree.path("link-to-sub").c_str()), 0);
    ASSERT_EQ(::symlink(tree.path("nowhere").c_str(), tree.path("broken").c_str()), 0);
    const Listing expected = {
        {"broken", false, true}, {"link-to-sub", true, true}, {"sub", true, false}};
    EXPECT_EQ(Listed(tree.root()), expected);
}

TEST(FileSystem, LookUpPathSaysWhetherALinkLedThere) {
    test::TempTree tree;
    const std::string file = tree.writeFile("page.orx");
    ASSERT_EQ(::symlink(file.c_str(), tree.path("linked.orx").c_str()), 0);
    ASSERT_EQ(::symlink(tree.path("gone").c_str(), tree.path("broken.orx").c_str()), 0);
    const std::vector<std::tuple<std::string, PathKind, bool>> cases = {
        {tree.path("linked.orx"), PathKind::File, true},
        {tree.path("broken.orx"), PathKind::Missing, true},
    };
    for (const auto& [path, kind, isLink] : cases) {
        const PathLookup found = LookUpPath(path);
        EXPECT_EQ(found.kind, kind) << path;
        EXPECT_EQ(found.isLink, isLink) << path;
    }
}

TEST(FileSystem, FolderStampFollowsALinkToTheFolder) {
    test::TempTree tree;
    const std::string folder = tree.makeFolder("box");
    ASSERT_EQ(::symlink(folder.c_str(), tree.path("link").c_str()), 0);
    EXPECT_EQ(GetFolderStamp(tree.path("link"))->identity, GetFolderStamp(folder)->identity);
}

TEST(FileSystem, WholeFileThatCannotBeWrittenLeavesTheOldFileAndNoTemporary) {
    test::TempTree tree;
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

}  // namespace
}  // namespace quillrun::platform
