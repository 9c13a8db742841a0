// The dialog's work cycle against a recording view: the timer's periods and the status texts, the
// wait for a document still in use, a job that cannot run, and the worker thread it runs on.
#include "app/work_cycle_fixture.h"
#include "platform/file_readiness.h"
#include "support/background_process.h"

namespace quillrun::test {
namespace {

TEST_F(WorkCycleTest, EmptySourceWaitsAndPollsEveryFiveSeconds) {
    start();
    EXPECT_TRUE(cycle.running());
    EXPECT_EQ(status(), "Waiting for work");
    EXPECT_EQ(view.timerInterval, 5000);
    tick();
    EXPECT_EQ(view.timerInterval, 5000);
    EXPECT_TRUE(view.log.empty());
}

TEST_F(WorkCycleTest, ReadyImageIsConvertedInTheFirstCycleAndTheNextComesAfterFiveSeconds) {
    tree.writeFile("in/page.tif");
    useTemplate("--stats=600,6,9,0,0");
    start();
    EXPECT_EQ(status(), "Working");
    EXPECT_TRUE(Exists(destination + NativePath("/page.orx")));
    EXPECT_EQ(view.timerInterval, 5000);
    EXPECT_TRUE(view.enabled.at(kStatisticsButton));
    EXPECT_EQ(cycle.pageStats().size(), 1u);
    EXPECT_EQ(ReadFile(settings.logPath), view.log);
    tick();  // releases the document, finds nothing more
    EXPECT_EQ(status(), "Waiting for work");
}

TEST_F(WorkCycleTest, HeldDocumentBlocksTheNextSearchUntilReleased) {
    tree.writeFile("in/a.tif");
    const std::string release = tree.path("release");
    useTemplate("--hold-doc-until=" + release);
    start();
    const std::string document = destination + NativePath("/a.orx");
    tree.writeFile("in/b.tif");
    view.log.clear();
    tick();
    tick();
    EXPECT_FALSE(Exists(destination + NativePath("/b.orx")));
    // The wait is said once, and the status no longer claims that work is being done.
    EXPECT_EQ(status(), app::kStatusWaitingForDocument);
    EXPECT_EQ(logMessages(),
              std::vector<std::string>{document +
                                       " is still in use; the work waits until it is released."});
    EXPECT_EQ(view.timerInterval, 5000);

    WriteFile(release, "", false);
    ASSERT_TRUE(WaitUntil([&] { return platform::IsFileReady(document); }));
    tick();
    EXPECT_TRUE(Exists(destination + NativePath("/b.orx")));
    ASSERT_GE(logMessages().size(), 2u);
    EXPECT_EQ(logMessages()[1], document + " has been released; the work goes on.");
}

TEST_F(WorkCycleTest, JobThatCannotStartStopsTheWorkAtTheFirstPeriodAndSaysSo) {
    tree.writeFile("in/a.tif");
    tree.writeFile("in/b.tif");
    cycle.SetReaderPath("\"" + tree.path("no-reader") + "\"");
    start();
    EXPECT_EQ(logMessages(),
              (std::vector<std::string>{
                  "Failed to CreateProcess \"" + tree.path("no-reader") + "\"!",
                  "The reading program could not be started: " + MissingFileMessage() + "."}));
    EXPECT_EQ(status(), app::kStatusStopped);
    EXPECT_EQ(view.timerInterval, 3000);
    tick();
    tick();
    EXPECT_EQ(logMessages().size(), 2u);
    EXPECT_EQ(view.timerInterval, 3000);
    EXPECT_EQ(status(), app::kStatusStopped);
}

// The cycle runs on a worker: a tick that arrives while it is under way starts nothing, so one
// reading program runs at a time and the next tick is armed once, when the cycle ends. Closing
// the dialog in the middle of a job ends the reading program and leaves the image for the next
// start, with every line of the job in the log file.
TEST_F(WorkCycleTest, CyclesNeverOverlapAndStoppingLeavesTheImageForTheNextStart) {
    tree.writeFile("in/a.tif");
    tree.writeFile("in/b.tif");
    useTemplate("--sleep-forever");
    view.whileReading = [this] {
        cycle.OnTimer();
        cycle.OnTimer();
    };
    cycle.Start();
    ASSERT_TRUE(view.runPostedUntil([this] { return cycle.readerRunning(); }));
    EXPECT_EQ(view.readerImages.size(), 1u);
    cycle.Stop();
    EXPECT_FALSE(cycle.cycleRunning());
    EXPECT_EQ(view.timerInterval, 0) << "no tick follows the end of the work";
    EXPECT_EQ(view.readerImages.size(), 1u);
    const std::string file = ReadFile(settings.logPath);
    EXPECT_NE(file.find(view.readerImages[0] +
                        " is left for the next start: the work was ended while the reading "
                        "program worked on it."),
              std::string::npos)
        << file;
    const std::string relative = view.readerImages[0].substr(source.size());
    const std::string marker = destination + relative.substr(0, relative.size() - 3) + "bad";
    EXPECT_FALSE(Exists(marker));
}

}  // namespace
}  // namespace quillrun::test
