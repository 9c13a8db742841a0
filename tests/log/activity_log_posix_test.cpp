#include "log/activity_log_test.h"

namespace quillrun {

std::vector<UnopenableLog> UnopenableLogs(const test::TempTree& tree) {
    return {{tree.path("no/such/folder/a.log"), "No such file or directory"},
            {tree.root(), "Is a directory"}};
}

namespace {

using test::TempTree;

TEST(ActivityLog, FailingWritesAreReportedOnScreenOnceUntilAWriteSucceeds) {
    TempTree tree;
    Screen screen;
    ActivityLog log(screen);
    log.Write("one", true, "/dev/full");
    log.Write("two", true, "/dev/full");
    const auto notices = [&] { return Count(screen.text_, "could not be written"); };
    EXPECT_EQ(notices(), 1u);
    EXPECT_NE(
        screen.text_.find("The log file /dev/full could not be written (No space left on device)"),
        std::string::npos)
        << screen.text_;
    EXPECT_NE(screen.text_.find("two\r\n"), std::string::npos);

    log.Write("recovered", true, tree.path("good.log"));
    log.Write("three", true, "/dev/full");
    EXPECT_EQ(notices(), 2u);
}

}  // namespace
}  // namespace quillrun
