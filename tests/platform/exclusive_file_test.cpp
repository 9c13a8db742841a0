// Exclusive creates, file stamps and record appends: what claims and record files rely on, on
// every system.
#include <gtest/gtest.h>

#include "platform/exclusive_file.h"
#include "platform/record_file.h"
#include "support/temp_tree.h"

namespace quillrun::platform {
namespace {

using test::TempTree;

TEST(ExclusiveFile, OnlyTheFirstCreateOfANameSucceedsAndItsStampNamesThatFile) {
    TempTree tree;
    const std::string path = tree.path("page.clm");
    const ExclusiveCreateResult first = CreateFileExclusively(path, "holder");
    ASSERT_EQ(first.status, ExclusiveCreateStatus::Created);
    EXPECT_EQ(test::ReadFile(path), "holder");
    EXPECT_EQ(GetFileStamp(path), first.stamp);

    const std::string folder = tree.makeFolder("folder.clm");
    for (const std::string& taken : {path, folder}) {
        EXPECT_EQ(CreateFileExclusively(taken, "other").status,
                  ExclusiveCreateStatus::AlreadyExists)
            << taken;
    }
    EXPECT_EQ(test::ReadFile(path), "holder");
    EXPECT_EQ(CreateFileExclusively(tree.path("missing/page.clm"), "x").status,
              ExclusiveCreateStatus::Failed);
    EXPECT_FALSE(GetFileStamp(tree.path("missing")));
}

TEST(ExclusiveFile, TouchMovesTheStampAndRemovalSparesAFileMadeSinceAtTheName) {
    TempTree tree;
    const std::string path = tree.path("page.clm");
    const FileStamp created = CreateFileExclusively(path, "first").stamp;
    ASSERT_TRUE(test::SetModifiedTime(path, std::chrono::system_clock::from_time_t(1000)));
    ASSERT_TRUE(TouchFile(path));
    const std::optional<FileStamp> touched = GetFileStamp(path);
    ASSERT_TRUE(touched);
    EXPECT_TRUE(touched->sameFile(created));
    EXPECT_GT(touched->modified, std::int64_t{1000} * 1'000'000'000);
    EXPECT_FALSE(TouchFile(tree.path("missing")));

    // The file is replaced by another one (kept aside, so that its number cannot be reused).
    const std::string aside = tree.path("aside");
    ASSERT_TRUE(std::filesystem::exists(test::FsPath(path)));
    std::filesystem::rename(test::FsPath(path), test::FsPath(aside));
    ASSERT_EQ(CreateFileExclusively(path, "second").status, ExclusiveCreateStatus::Created);
    EXPECT_FALSE(RemoveFileIfSame(path, created));
    EXPECT_EQ(test::ReadFile(path), "second");
    EXPECT_TRUE(RemoveFileIfSame(aside, created));
    EXPECT_FALSE(test::Exists(aside));
}

TEST(RecordFile, TheHeaderGoesFirstOnceAndEveryAppendAfterIt) {
    TempTree tree;
    const std::string path = tree.path("pages.csv");
    for (const char* records : {"a,1\n", "b,2\nc,3\n"}) {
        EXPECT_EQ(AppendRecords(path, "name,pages\n", records).status, AppendStatus::Appended);
    }
    EXPECT_EQ(test::ReadFile(path), "name,pages\na,1\nb,2\nc,3\n");
    EXPECT_EQ(AppendRecords(tree.path("missing/pages.csv"), "h\n", "r\n").status,
              AppendStatus::NotOpened);
}

}  // namespace
}  // namespace quillrun::platform
