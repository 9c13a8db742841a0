#include <gtest/gtest.h>

#include "app/elapsed_time.h"

namespace quillrun::app {
namespace {

TEST(ElapsedTime, ReadsAsMinutesAndSeconds) {
    using std::chrono::milliseconds;
    EXPECT_EQ(FormatElapsed(milliseconds(7'900)), "0:07");
    EXPECT_EQ(FormatElapsed(milliseconds(754'000)), "12:34");
    EXPECT_EQ(FormatElapsed(milliseconds(3'723'000)), "1:02:03");
}

}  // namespace
}  // namespace quillrun::app
