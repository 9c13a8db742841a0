#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "platform/file_readiness.h"
#include "support/background_process.h"
#include "support/temp_tree.h"

namespace quillrun::platform {
namespace {

using test::FileHolder;
using test::TempTree;

TEST(FileReadiness, ClosedBackdatedFileIsReadyAndMissingFilesOrFoldersAreNot) {
    TempTree tree;
    EXPECT_TRUE(IsFileReady(tree.writeFile("done.tif")));
    EXPECT_FALSE(IsFileReady(tree.path("missing.tif")));
    EXPECT_FALSE(IsFileReady(tree.makeFolder("folder.tif")));
}

TEST(FileReadiness, FileHeldOpenByAnotherProcessIsNotReadyUntilClosed) {
    for (const char* mode : {"r", "w"}) {
        TempTree tree;
        const std::string image = tree.writeFile("scan.tif");
        FileHolder holder(image, mode, tree.root());
        EXPECT_FALSE(IsFileReady(image)) << "held open with mode " << mode;
        holder.release();
        test::BackdateFile(image);
        EXPECT_TRUE(IsFileReady(image)) << "after release, mode " << mode;
    }
}

TEST(FileReadiness, RecentlyModifiedFileWaitsForTheQuietPeriodButFutureTimesDoNot) {
    TempTree tree;
    const std::string fresh = tree.path("fresh.tif");
    test::WriteFile(fresh, "x", /*backdate=*/false);
    EXPECT_FALSE(IsFileReady(fresh));

    // A time stamp ahead of our clock comes from another machine's clock, not from activity.
    const std::string skewed = tree.writeFile("skewed.tif");
    std::filesystem::last_write_time(
        test::FsPath(skewed),
        std::filesystem::file_time_type::clock::now() + std::chrono::minutes(10));
    EXPECT_TRUE(IsFileReady(skewed));
}

TEST(FileReadiness, TestingReadinessLeavesTheFileUntouchedForOthers) {
    TempTree tree;
    const std::string image = tree.writeFile("scan.tif", "content");
    ASSERT_TRUE(IsFileReady(image));
    // The test holds nothing once it is done: another opener is neither blocked nor sees a change.
    EXPECT_TRUE(IsFileReady(image));
    EXPECT_EQ(test::ReadFile(image), "content");
}

}  // namespace
}  // namespace quillrun::platform
