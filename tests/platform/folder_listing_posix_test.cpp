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
    const std::vector<std::pair<std::string, bool>> expected = {
        {"broken", false}, {"link-to-sub", true}, {"sub", true}};
    EXPECT_EQ(Listed(tree.root()), expected);
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
    const bool written = WriteWholeFile(marker, "more than four bytes");
    ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(test::ReadFile(marker), "old");
    EXPECT_EQ(Listed(tree.root()).size(), 1u);
}

}  // namespace
}  // namespace quillrun::platform
