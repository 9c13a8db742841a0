#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/file_readiness.h"
#include "support/temp_tree.h"

namespace quillrun::platform {
namespace {

TEST(FileReadiness, FifoIsNotReadyAndDoesNotBlock) {
    test::TempTree tree;
    const std::string fifo = tree.path("pipe.tif");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(IsFileReady(fifo));
}

}  // namespace
}  // namespace quillrun::platform
