#include "engine/conversion_job_test.h"

#include <functional>

#include "engine/claim_record.h"

namespace quillrun::test {
namespace {

using ConversionJob = EngineTest;

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
        text.replace(at, from.size(), to);
    }
}

TEST_F(ConversionJob, ReaderGetsTheCommandLinePieceByPieceAndMissingFoldersAreCreated) {
    const std::string image = tree.writeFile("in/a/b/p1.tif");
    const std::string record = tree.path("args");
    settings.user = "bob";
    settings.password = "pw";
    useTemplate("--record=" + record);
    const std::optional<JobResult> result = convertNext();
    ASSERT_TRUE(result);
    EXPECT_EQ(RecordedArguments(record),
              (std::vector<std::string>{
                  SCRIPTED_READER_PATH, "-user:bob", "-pwd:pw", "-in:" + image,
                  "-out:" + destination + NativePath("/a/b/p1.orx"), "-nomessage", "-x",
                  "--record=" + record, "-stat:" + destination + NativePath("/a/b/p1.dat")}));
    EXPECT_TRUE(Exists(destination + NativePath("/a/b/p1.orx")));
    EXPECT_FALSE(Exists(destination + NativePath("/a/b/p1.dat")));  // harvested and removed
    EXPECT_EQ(observer.messages, (std::vector<std::string>{
                                     destination + NativePath("/a/b/p1.orx") + " has been created.",
                                     "It contains 1 page."}));
    EXPECT_EQ(result->outcome, JobOutcome::Converted);
    EXPECT_EQ(result->statistics.document, destination + NativePath("/a/b/p1.orx"));
    EXPECT_EQ(result->statistics.pages.size(), 1u);
}

TEST_F(ConversionJob, ReaderWithoutDocumentEarnsTheImageAMarkerAndTheWorkMovesOn) {
    for (const char* failure : {"--no-doc", "--crash", "--no-doc --exit=0", "--no-doc --exit=7"}) {
        TempTree local;
        observer.messages.clear();
        settings.sourcePath = local.makeFolder("in");
        settings.destPath = local.makeFolder("out");
        useTemplate(failure);
        const std::string image = local.writeFile("in/sub/page1.tif");
        const std::optional<JobResult> result = convertNext();
        ASSERT_TRUE(result);
        EXPECT_EQ(result->outcome, JobOutcome::Failed) << failure;
        EXPECT_EQ(observer.messages,
                  std::vector<std::string>{"Warning! - no ORX file was created for " + image + "."})
            << failure;
        EXPECT_EQ(ReadFile(local.path("out/sub/page1.bad")), image) << failure;
        EXPECT_FALSE(findNext()) << failure;
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
    observer.stopReader = true;
    for (const Case& c : cases) {
        observer.messages.clear();
        RemovePath(destination + NativePath("/slow.bad"));
        RemovePath(destination + NativePath("/slow.dat"));
        useTemplate(c.option);
        // The statistics file is written after the document, which is then whole.
        observer.stopOnceExists = c.keptAs != nullptr ? destination + NativePath("/slow.dat") : "";
        const std::optional<JobResult> result = convertNext();
        ASSERT_TRUE(result);
        EXPECT_EQ(result->outcome, JobOutcome::StoppedByUser) << c.option;
        EXPECT_TRUE(result->statistics.pages.empty()) << c.option;
        EXPECT_EQ(observer.runningImages.back(), image);
        EXPECT_EQ(observer.messages, c.messages) << c.option;
        EXPECT_EQ(ReadFile(destination + NativePath("/slow.bad")), image) << c.option;
        EXPECT_FALSE(Exists(document)) << c.option;
        if (c.keptAs != nullptr) {
            EXPECT_EQ(ReadFile(document + c.keptAs), "document of " + image) << c.option;
        }
    }
    EXPECT_EQ(observer.readerEnds, 3);
}

// What only one image meets ends that image: with its marker where one can be written, else it is
// passed over for the run. What every image would meet, the destination root unusable, stops
// the work. Neither starts the reading program.
TEST_F(ConversionJob, AFailureOfOneImageEndsThatImageAndNeverTheWork) {
    const std::string ended = FormatClaimRecord(EndedProcess());
    const struct {
        const char* what;
        std::function<void(TempTree&)> arrange;
        JobOutcome outcome;
        std::vector<std::string> messages;  // with IN and OUT for the roots
        bool marked;
    } cases[] = {
        {"a file where its folder belongs",
         [](TempTree& t) { t.writeFile("out/sub", "not a folder"); },
         JobOutcome::PassedOver,
         {"OUT/sub exists, but is not a folder.",
          "IN/sub/p.tif is passed over until the work is "
          "started again."},
         false},
        {"every claim slot abandoned",
         [&](TempTree& t) {
             for (int slot = 1; slot <= kClaimSlots; ++slot) {
                 t.writeFile("out/sub/" + ClaimSlotPath("p.orx", slot), ended);
             }
         },
         JobOutcome::Failed,
         {"IN/sub/p.tif cannot be claimed for conversion: all 99 of its claim files are "
          "abandoned."},
         true},
        {"a destination root below a file",
         [](TempTree& t) {
             RemovePath(t.path("out"));
             t.writeFile("out", "not a folder");
         },
         JobOutcome::WorkCannotGoOn,
         {"Unable to Create the folder OUT/sub"},
         false},
    };
    const std::string record = tree.path("args");
    useTemplate("--record=" + record);
    for (const auto& c : cases) {
        TempTree local;
        settings.sourcePath = local.makeFolder("in");
        settings.destPath = local.makeFolder("out");
        const std::string image = local.writeFile("in/sub/p.tif");
        c.arrange(local);
        observer.messages.clear();
        const std::optional<JobResult> result = convertNext();
        ASSERT_TRUE(result) << c.what;
        EXPECT_EQ(result->outcome, c.outcome) << c.what;
        std::vector<std::string> expected;
        for (std::string message : c.messages) {
            ReplaceAll(message, "IN/", settings.sourcePath + "/");
            ReplaceAll(message, "OUT/", settings.destPath + "/");
            expected.push_back(NativePath(message));
        }
        // The system's reason follows a folder that could not be made.
        ASSERT_GE(observer.messages.size(), expected.size()) << c.what;
        observer.messages.resize(expected.size());
        EXPECT_EQ(observer.messages, expected) << c.what;
        EXPECT_EQ(Exists(local.path("out/sub/p.bad")), c.marked) << c.what;
        EXPECT_FALSE(Exists(record)) << c.what;
    }
}

TEST_F(ConversionJob, UnusualFileNamesReachTheReaderUntouched) {
    const std::string record = tree.path("args");
    useTemplate("--record=" + record);
    for (const std::string& name : UnusualImageNames()) {
        const std::string image = tree.writeFile("in/" + name);
        ASSERT_TRUE(convertNext()) << name;
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
    ASSERT_TRUE(convertNext());
    EXPECT_EQ(ReadFile(destination + NativePath("/") + std::string(251, 'n') + ".bad"), image);
    EXPECT_FALSE(findNext());
}

}  // namespace
}  // namespace quillrun::test
