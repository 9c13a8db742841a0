#include <filesystem>

#include "app/work_cycle_fixture.h"

namespace quillrun::test {
namespace {

using LogAndDestinationFaults = WorkCycleTest;

TEST_F(LogAndDestinationFaults, LogFileThatCannotBeWrittenNeverStopsTheWork) {
    tree.writeFile("in/a.tif");
    tree.writeFile("in/b.tif");
    settings.logPath = "/dev/full";
    start();
    tick();
    tick();
    EXPECT_TRUE(Exists(destination + "/a.orx"));
    EXPECT_TRUE(Exists(destination + "/b.orx"));
    EXPECT_EQ(status(), "Waiting for work");
    std::size_t notices = 0;
    for (const std::string& message : logMessages()) {
        notices += message.find("could not be written") != std::string::npos;
    }
    EXPECT_EQ(notices, 1u);
}

TEST_F(LogAndDestinationFaults, LogFolderThatDisappearsLeavesTheLinesOnScreen) {
    const std::string logFolder = tree.makeFolder("logs");
    settings.logPath = logFolder + "/activity.log";
    tree.writeFile("in/a.tif");
    start();
    std::filesystem::remove_all(logFolder);
    tree.writeFile("in/b.tif");
    tick();
    tick();
    EXPECT_TRUE(Exists(destination + "/b.orx"));
    EXPECT_NE(view.log.find(destination + "/b.orx has been created."), std::string::npos);
    EXPECT_FALSE(Exists(logFolder));
}

TEST_F(LogAndDestinationFaults, DestinationRemovedWhileWorkingIsBuiltAgain) {
    tree.writeFile("in/sub/a.tif");
    start();
    ASSERT_TRUE(Exists(destination + "/sub/a.orx"));
    std::filesystem::remove_all(destination);
    tree.writeFile("in/sub/b.tif");
    tick();  // the held document is gone: nothing is pending any more
    tick();
    EXPECT_TRUE(Exists(destination + "/sub/b.orx"));
    // With the destination gone, its memory is gone too: a is converted again.
    EXPECT_TRUE(Exists(destination + "/sub/a.orx"));
}

}  // namespace
}  // namespace quillrun::test
