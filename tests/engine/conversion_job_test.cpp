#include "engine/conversion_job_test.h"

namespace quillrun::test {
namespace {

using ConversionJob = EngineTest;

TEST_F(ConversionJob, ReaderGetsTheCommandLinePieceByPieceAndMissingFoldersAreCreated) {
    const std::string image = tree.writeFile("in/a/b/p1.tif");
    const std::string record = tree.path("args");
    engine.settings().user = "bob";
    engine.settings().password = "pw";
    useTemplate("--record=" + record);
    engine.StartWork();
    EXPECT_EQ(RecordedArguments(record),
              (std::vector<std::string>{
                  SCRIPTED_READER_PATH, "-user:bob", "-pwd:pw", "-in:" + image,
                  "-out:" + destination + NativePath("/a/b/p1.orx"), "-nomessage", "-x",
                  "--record=" + record, "-stat:" + destination + NativePath("/a/b/p1.dat")}));
    EXPECT_TRUE(Exists(destination + NativePath("/a/b/p1.orx")));
    EXPECT_FALSE(Exists(destination + NativePath("/a/b/p1.dat")));  // harvested and removed
    EXPECT_EQ(logMessages(), (std::vector<std::string>{
                                 destination + NativePath("/a/b/p1.orx") + " has been created.",
                                 "It contains 1 page."}));
    EXPECT_EQ(ReadFile(engine.settings().logPath), host.log);
}

TEST_F(ConversionJob, EditedSettingsApplyFromTheNextJob) {
    tree.writeFile("in/a.tif");
    const std::string record = tree.path("args");
    useTemplate("--record=" + record);
    engine.StartWork();
    tree.writeFile("in/b.tif");
    engine.settings().commandArgs = "-in:^S -out:^D --record=" + record;
    engine.settings().user = "carol";
    engine.settings().writeLog = 0;
    const std::string logBefore = ReadFile(engine.settings().logPath);
    engine.OnTimer(1);
    const auto arguments = RecordedArguments(record);
    ASSERT_EQ(arguments.size(), 6u);
    EXPECT_EQ(arguments[1], "-user:carol");
    EXPECT_EQ(arguments[3], "-out:" + destination + NativePath("/b.orx"));
    EXPECT_EQ(ReadFile(engine.settings().logPath), logBefore);
}

TEST_F(ConversionJob, ReaderWithoutDocumentEarnsTheImageAMarkerAndTheWorkMovesOn) {
    for (const char* failure : {"--no-doc", "--crash", "--no-doc --exit=0", "--no-doc --exit=7"}) {
        TempTree local;
        RecordingHost localHost;
        QuillrunEngine job(localHost);
        job.SetReaderPath(engine.readerPath());
        job.settings().writeLog = 0;
        job.settings().sourcePath = local.makeFolder("in");
        job.settings().destPath = local.makeFolder("out");
        job.settings().commandArgs = std::string(kDefaultCommandArgs) + " " + failure;
        const std::string image = local.writeFile("in/sub/page1.tif");
        job.StartWork();
        EXPECT_EQ(localHost.log.substr(11),
                  "Warning! - no ORX file was created for " + image + ".\r\n")
            << failure;
        EXPECT_EQ(ReadFile(local.path("out/sub/page1.bad")), image) << failure;
        EXPECT_TRUE(job.pendingOutput().empty());
        EXPECT_EQ(localHost.lastInterval(), 5000);
        job.OnTimer(1);
        EXPECT_EQ(localHost.status(), "Waiting for work") << failure;
    }
}

// A stopped reader's document is unfinished, whatever it holds: it is kept aside, never
// harvested, and the image gets its marker like any other failure.
TEST_F(ConversionJob, StoppedReaderIsEndedAndCountsAsAFailure) {
    const std::string image = tree.writeFile("in/slow.tif");
    const std::string document = destination + NativePath("/slow.orx");
    const std::string stopped =
        "The reading program was stopped by the user while converting " + image + ".";
    struct Case {
        const char* option;
        std::vector<std::string> messages;
        const char* keptAs;
    };
    const Case cases[] = {
        {"--sleep-forever",
         {stopped, "Warning! - no ORX file was created for " + image + "."},
         nullptr},
        {"--sleep-after-doc",
         {stopped, "The unfinished document was kept as " + document + ".stopped."},
         ".stopped"},
        {"--sleep-after-doc",  // the first one kept aside is not overwritten
         {stopped, "The unfinished document was kept as " + document + ".stopped-2."},
         ".stopped-2"},
    };
    host.stopReader = true;
    for (const Case& c : cases) {
        host.log.clear();
        RemovePath(destination + NativePath("/slow.bad"));
        RemovePath(destination + NativePath("/slow.dat"));
        useTemplate(c.option);
        // The statistics file is written after the document, which is then whole.
        host.stopOnceExists = c.keptAs != nullptr ? destination + NativePath("/slow.dat") : "";
        engine.ReleasePendingOutput();
        engine.StartWork();
        EXPECT_EQ(host.runningImages.back(), image);
        EXPECT_EQ(logMessages(), c.messages) << c.option;
        EXPECT_EQ(ReadFile(destination + NativePath("/slow.bad")), image) << c.option;
        EXPECT_FALSE(Exists(document)) << c.option;
        if (c.keptAs != nullptr) {
            EXPECT_EQ(ReadFile(document + c.keptAs), "document of " + image) << c.option;
        }
    }
    EXPECT_EQ(host.readerEnds, 3);
    EXPECT_TRUE(engine.pageStats().empty());
    EXPECT_EQ(host.statisticsEnabled, 0);
}

TEST_F(ConversionJob, DestinationFolderProblemsEndTheJobBeforeTheReaderRuns) {
    tree.writeFile("in/sub/p.tif");
    tree.writeFile("out/sub", "a file where the folder belongs");
    const std::string record = tree.path("args");
    useTemplate("--record=" + record);
    engine.StartWork();
    EXPECT_EQ(logMessages(), std::vector<std::string>{destination + NativePath("/sub") +
                                                      " exists, but is not a folder."});
    EXPECT_FALSE(Exists(record));
    EXPECT_EQ(engine.pendingOutput(), destination + NativePath("/sub/p.orx"));
    EXPECT_EQ(host.status(), kStatusStopped);

    TempTree other;
    QuillrunEngine blocked(host);
    blocked.settings().writeLog = 0;
    blocked.settings().sourcePath = other.makeFolder("in");
    other.writeFile("in/deeper/p.tif");
    other.writeFile("file", "");
    blocked.settings().destPath = other.path("file/out");  // a level of it is a file
    blocked.ReleasePendingOutput();
    host.log.clear();
    blocked.StartWork();
    EXPECT_EQ(logMessages(), std::vector<std::string>{"Unable to Create the folder " +
                                                      other.path("file/out/deeper")});
}

TEST_F(ConversionJob, UnusualFileNamesReachTheReaderUntouched) {
    const std::string record = tree.path("args");
    useTemplate("--record=" + record);
    engine.settings().writeLog = 0;
    for (const std::string& name : UnusualImageNames()) {
        const std::string image = tree.writeFile("in/" + name);
        engine.ReleasePendingOutput();
        ASSERT_TRUE(engine.FindNextImage(source)) << name;
        engine.ConvertImage();
        const std::string document =
            destination + NativePath("/") + name.substr(0, name.size() - 3) + "orx";
        EXPECT_TRUE(Exists(document)) << name;
        const auto arguments = RecordedArguments(record);
        ASSERT_GE(arguments.size(), 3u);
        EXPECT_EQ(arguments[1], "-in:" + image);
        EXPECT_EQ(arguments[2], "-out:" + document);
    }
    EXPECT_FALSE(Exists(tree.path("pwned")));
    EXPECT_FALSE(Exists(tree.path("in/pwned")));
}

// The marker is written under a temporary name beside it, which must not grow past the longest
// name the file system allows.
TEST_F(ConversionJob, ImageWithTheLongestNameStillGetsItsMarker) {
    const std::string name = std::string(251, 'n') + ".tif";
    const std::string image = tree.writeFile("in/" + name);
    useTemplate("--no-doc");
    engine.StartWork();
    EXPECT_EQ(ReadFile(destination + NativePath("/") + std::string(251, 'n') + ".bad"), image);
    engine.OnTimer(1);
    EXPECT_EQ(host.status(), "Waiting for work");
}

}  // namespace
}  // namespace quillrun::test
