#include "engine/engine_fixture.h"

namespace quillrun::test {
namespace {

using ReaderFaults = EngineTest;

TEST_F(ReaderFaults, GarbageStatisticsStillYieldTheDocumentAndTheFileIsRemoved) {
    struct Case {
        const char* option;
        std::size_t pages;
    };
    const Case cases[] = {
        {"--stats-random=100000", 0},  // pages depend on the line ends among the bytes
        {"--stats-long-line=10000000", 1},
        {"--stats-lines=1000000", 1000000},
        {"\"--stats=99999999999, -99999999999, 2147483647, 0, 0|-5, 2147483647, -2147483648\"", 2},
    };
    for (const Case& c : cases) {
        observer.messages.clear();
        tree.writeFile("in/page.tif");
        useTemplate(c.option);
        const std::optional<JobResult> result = convertNext();
        ASSERT_TRUE(result) << c.option;
        EXPECT_TRUE(Exists(destination + "/page.orx")) << c.option;
        EXPECT_FALSE(Exists(destination + "/page.dat")) << c.option;
        ASSERT_FALSE(observer.messages.empty());
        EXPECT_EQ(observer.messages[0], destination + "/page.orx has been created.") << c.option;
        if (c.pages != 0) {
            EXPECT_EQ(result->statistics.pages.size(), c.pages) << c.option;
        }
        std::remove((destination + "/page.orx").c_str());
    }
}

TEST_F(ReaderFaults, ImageThatVanishesBeforeTheJobGetsItsMarker) {
    const std::string image = tree.writeFile("in/gone.tif");
    const std::optional<Candidate> found = findNext();
    ASSERT_TRUE(found);
    std::remove(image.c_str());
    EXPECT_EQ(convert(*found).outcome, JobOutcome::Failed);
    EXPECT_EQ(ReadFile(destination + "/gone.bad"), image);
}

TEST_F(ReaderFaults, NonExecutableReaderStopsTheWorkWithTheLineAndItsReason) {
    tree.writeFile("in/a.tif");
    const std::string notAProgram = tree.writeFile("reader", "#!/no/such/interpreter\n");
    readerPath = "\"" + notAProgram + "\"";
    EXPECT_EQ(convertNext()->outcome, JobOutcome::WorkCannotGoOn);
    EXPECT_EQ(observer.messages,
              (std::vector<std::string>{"Failed to CreateProcess \"" + notAProgram + "\"!",
                                        "The reading program could not be started: Permission "
                                        "denied."}));
}

TEST_F(ReaderFaults, PasswordNeverReachesTheLog) {
    settings.user = "operator";
    settings.password = "s3cret-Pa55";
    tree.writeFile("in/good.tif");
    tree.writeFile("in/bad.tif");
    tree.writeFile("in/third.tif");
    useTemplate("--no-doc");
    convertNext();  // one of them fails without a document
    settings.commandArgs = kDefaultCommandArgs;
    convertNext();  // another succeeds
    readerPath = "\"" + tree.path("missing-reader") + "\"";
    convertNext();  // cannot start
    std::string log;
    for (const std::string& message : observer.messages) {
        log += message + "\n";
    }
    EXPECT_NE(log.find("Failed to CreateProcess"), std::string::npos);
    EXPECT_NE(log.find("has been created."), std::string::npos);
    EXPECT_EQ(log.find(settings.password), std::string::npos);
}

}  // namespace
}  // namespace quillrun::test
