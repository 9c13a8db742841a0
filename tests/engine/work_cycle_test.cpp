#include "engine/engine_fixture.h"
#include "platform/file_readiness.h"
#include "support/background_process.h"

namespace quillrun::test {
namespace {

using WorkCycle = EngineTest;

TEST_F(WorkCycle, EmptySourceWaitsAndPollsEveryFiveSeconds) {
    engine.StartWork();
    EXPECT_TRUE(engine.running());
    EXPECT_EQ(host.statuses, std::vector<std::string>{"Waiting for work"});
    EXPECT_EQ(host.armedIntervals, std::vector<int>{5000});

    // The tick's own timer id does not matter: the armed timer is the one killed.
    engine.OnTimer(42);
    EXPECT_EQ(host.killedTimers, std::vector<unsigned>{kWorkTimerId});
    EXPECT_EQ(host.armedIntervals, (std::vector<int>{5000, 5000}));
    EXPECT_TRUE(host.log.empty());
}

TEST_F(WorkCycle, ReadyImageIsConvertedBeforeStartReturnsAndTheNextTickComesAfterFiveSeconds) {
    tree.writeFile("in/page.tif");
    engine.StartWork();
    EXPECT_EQ(host.statuses, std::vector<std::string>{"Working"});
    EXPECT_TRUE(Exists(destination + NativePath("/page.orx")));
    EXPECT_EQ(host.armedIntervals, std::vector<int>{5000});

    engine.OnTimer(1);  // releases the document, finds nothing more
    EXPECT_EQ(host.status(), "Waiting for work");
    EXPECT_TRUE(engine.pendingOutput().empty());
}

TEST_F(WorkCycle, OneTrailingSeparatorIsRemovedFromEachRootPerCycle) {
    engine.settings().sourcePath = source + NativePath("//");
    engine.settings().destPath = destination + NativePath("/");
    engine.StartWork();
    EXPECT_EQ(engine.settings().sourcePath, source + NativePath("/"));
    EXPECT_EQ(engine.settings().destPath, destination);
    engine.OnTimer(1);
    EXPECT_EQ(engine.settings().sourcePath, source);

    // The root is never trimmed away: an empty field would be saved and shown at the next start.
    engine.settings().destPath = "/";
    engine.OnTimer(1);
    EXPECT_EQ(engine.settings().destPath, "/");
}

TEST_F(WorkCycle, HeldDocumentBlocksTheNextSearchUntilReleased) {
    tree.writeFile("in/a.tif");
    const std::string release = tree.path("release");
    useTemplate("--hold-doc-until=" + release);
    engine.StartWork();
    const std::string document = destination + NativePath("/a.orx");
    ASSERT_EQ(engine.pendingOutput(), document);
    tree.writeFile("in/b.tif");

    host.log.clear();
    const std::size_t statusesBefore = host.statuses.size();
    engine.OnTimer(1);
    engine.OnTimer(1);
    EXPECT_EQ(engine.pendingOutput(), document);
    EXPECT_FALSE(Exists(destination + NativePath("/b.orx")));
    // The wait is said once, and the status no longer claims that work is being done.
    EXPECT_EQ(host.statuses.size(), statusesBefore + 1);
    EXPECT_EQ(host.status(), kStatusWaitingForDocument);
    EXPECT_EQ(logMessages(),
              std::vector<std::string>{document +
                                       " is still in use; the work waits until it is released."});
    EXPECT_EQ(host.lastInterval(), 5000);

    WriteFile(release, "", false);
    ASSERT_TRUE(WaitUntil([&] { return platform::IsFileReady(document); }));
    engine.OnTimer(1);
    EXPECT_TRUE(Exists(destination + NativePath("/b.orx")));
    ASSERT_GE(logMessages().size(), 2u);
    EXPECT_EQ(logMessages()[1], document + " has been released; the work goes on.");
}

TEST_F(WorkCycle, JobThatCannotStartStopsTheWorkAtTheFirstPeriodAndSaysSo) {
    tree.writeFile("in/a.tif");
    tree.writeFile("in/b.tif");
    engine.SetReaderPath("\"" + tree.path("no-reader") + "\"");
    engine.StartWork();
    EXPECT_EQ(logMessages(),
              (std::vector<std::string>{
                  "Failed to CreateProcess \"" + tree.path("no-reader") + "\"!",
                  "The reading program could not be started: " + MissingFileMessage() + "."}));
    EXPECT_EQ(host.status(), kStatusStopped);
    EXPECT_EQ(host.armedIntervals, std::vector<int>{3000});

    engine.OnTimer(1);
    engine.OnTimer(1);
    EXPECT_EQ(logMessages().size(), 2u);
    EXPECT_EQ(host.armedIntervals, (std::vector<int>{3000, 3000, 3000}));
    EXPECT_EQ(host.status(), kStatusStopped);
}

TEST_F(WorkCycle, FailedArmingLeavesTheTimerIdZero) {
    struct NoTimerHost : RecordingHost {
        unsigned ArmTimer(unsigned, int intervalMs) override {
            armedIntervals.push_back(intervalMs);
            return 0;
        }
    } noTimer;
    QuillrunEngine engineWithoutTimer(noTimer);
    engineWithoutTimer.settings().sourcePath = source;
    engineWithoutTimer.settings().destPath = destination;
    engineWithoutTimer.StartWork();
    EXPECT_EQ(engineWithoutTimer.timerId(), 0u);
}

}  // namespace
}  // namespace quillrun::test
