#include <filesystem>

#include "engine/engine_fixture.h"

namespace quillrun::test {
namespace {

using LogAndDestinationFaults = EngineTest;

TEST_F(LogAndDestinationFaults, LogFileThatCannotBeWrittenNeverStopsTheWork) {
    tree.writeFile("in/a.tif");
    tree.writeFile("in/b.tif");
    engine.settings().logPath = "/dev/full";
    engine.StartWork();
    engine.OnTimer(1);
    engine.OnTimer(1);
    EXPECT_TRUE(Exists(destination + "/a.orx"));
    EXPECT_TRUE(Exists(destination + "/b.orx"));
    EXPECT_EQ(host.status(), "Waiting for work");
    EXPECT_EQ(host.armedIntervals.size(), 3u);  // every cycle re-armed the timer
    std::size_t notices = 0;
    for (const std::string& message : logMessages()) {
        notices += message.find("could not be written") != std::string::npos;
    }
    EXPECT_EQ(notices, 1u);
}

TEST_F(LogAndDestinationFaults, LogFolderThatDisappearsLeavesTheLinesOnScreen) {
    const std::string logFolder = tree.makeFolder("logs");
    engine.settings().logPath = logFolder + "/activity.log";
    tree.writeFile("in/a.tif");
    engine.StartWork();
    std::filesystem::remove_all(logFolder);
    tree.writeFile("in/b.tif");
    engine.OnTimer(1);
    engine.OnTimer(1);
    EXPECT_TRUE(Exists(destination + "/b.orx"));
    EXPECT_NE(host.log.find(destination + "/b.orx has been created."), std::string::npos);
    EXPECT_FALSE(Exists(logFolder));
}

TEST_F(LogAndDestinationFaults, DestinationRemovedWhileWorkingIsBuiltAgain) {
    tree.writeFile("in/sub/a.tif");
    engine.StartWork();
    ASSERT_TRUE(Exists(destination + "/sub/a.orx"));
    std::filesystem::remove_all(destination);
    tree.writeFile("in/sub/b.tif");
    engine.OnTimer(1);  // the held document is gone: nothing is pending any more
    engine.OnTimer(1);
    EXPECT_TRUE(Exists(destination + "/sub/b.orx"));
    // With the destination gone, its memory is gone too: a is converted again.
    EXPECT_TRUE(Exists(destination + "/sub/a.orx"));
}

}  // namespace
}  // namespace quillrun::test
