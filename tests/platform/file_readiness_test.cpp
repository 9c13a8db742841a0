#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/file_readiness.h"
#include "support/background_process.h"
#include "support/temp_tree.h"

namespace quillrun::platform {
namespace {

using test::FileHolder;
using test::TempTree;

TEST(FileReadiness, ClosedBackdatedFileIsReadyAndMissingOrSpecialFilesAreNot) {
    TempTree tree;
    EXPECT_TRUE(IsFileReady(tree.writeFile("done.tif")));
    EXPECT_FALSE(IsFileReady(tree.path("missing.tif")));
    EXPECT_FALSE(IsFileReady(tree.makeFolder("folder.tif")));
    const std::string fifo = tree.path("pipe.tif");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(IsFileReady(fifo));  // and it must not block
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
    timespec times[2];
    ::clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec += 600;
    times[1] = times[0];
    ASSERT_EQ(::utimensat(AT_FDCWD, skewed.c_str(), times, 0), 0);
    EXPECT_TRUE(IsFileReady(skewed));
}

TEST(FileReadiness, TestingReadinessLeavesTheFileUntouchedForOthers) {
    TempTree tree;
    const std::string image = tree.writeFile("scan.tif", "content");
    ASSERT_TRUE(IsFileReady(image));
    // The lease is gone: another opener is neither blocked nor sees a change.
    EXPECT_TRUE(IsFileReady(image));
    EXPECT_EQ(test::ReadFile(image), "content");
}

}  // namespace
}  // namespace quillrun::platform
