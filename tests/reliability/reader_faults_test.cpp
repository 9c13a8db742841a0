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
        const std::size_t pagesBefore = engine.pageStats().size();
        host.log.clear();
        const std::string image = tree.writeFile("in/page.tif");
        useTemplate(c.option);
        engine.ReleasePendingOutput();
        ASSERT_TRUE(engine.FindNextImage(source));
        engine.ConvertImage();
        EXPECT_TRUE(Exists(destination + "/page.orx")) << c.option;
        EXPECT_FALSE(Exists(destination + "/page.dat")) << c.option;
        EXPECT_NE(host.log.find("page.orx has been created."), std::string::npos) << c.option;
        if (c.pages != 0) {
            EXPECT_EQ(engine.pageStats().size() - pagesBefore, c.pages) << c.option;
        }
        std::remove((destination + "/page.orx").c_str());
    }
}

TEST_F(ReaderFaults, ImageThatVanishesBeforeTheJobGetsItsMarker) {
    const std::string image = tree.writeFile("in/gone.tif");
    ASSERT_TRUE(engine.FindNextImage(source));
    std::remove(image.c_str());
    engine.ConvertImage();
    EXPECT_EQ(ReadFile(destination + "/gone.bad"), image);
    EXPECT_TRUE(engine.pendingOutput().empty());
}

TEST_F(ReaderFaults, NonExecutableReaderStopsTheWorkWithTheLineAndItsReason) {
    tree.writeFile("in/a.tif");
    const std::string notAProgram = tree.writeFile("reader", "#!/no/such/interpreter\n");
    engine.SetReaderPath("\"" + notAProgram + "\"");
    engine.StartWork();
    engine.OnTimer(1);
    EXPECT_EQ(logMessages(),
              (std::vector<std::string>{"Failed to CreateProcess \"" + notAProgram + "\"!",
                                        "The reading program could not be started: Permission "
                                        "denied."}));
    EXPECT_EQ(host.status(), kStatusStopped);
}

TEST_F(ReaderFaults, PasswordNeverReachesTheLog) {
    engine.settings().user = "operator";
    engine.settings().password = "s3cret-Pa55";
    tree.writeFile("in/good.tif");
    tree.writeFile("in/bad.tif");
    useTemplate("--no-doc");
    engine.StartWork();  // one of them fails without a document
    engine.settings().commandArgs = kDefaultCommandArgs;
    engine.OnTimer(1);  // the other succeeds
    engine.SetReaderPath("\"" + tree.path("missing-reader") + "\"");
    tree.writeFile("in/third.tif");
    engine.OnTimer(1);
    engine.OnTimer(1);  // cannot start
    EXPECT_NE(host.log.find("Failed to CreateProcess"), std::string::npos);
    EXPECT_NE(host.log.find("has been created."), std::string::npos);
    EXPECT_EQ(host.log.find(engine.settings().password), std::string::npos);
    EXPECT_EQ(ReadFile(engine.settings().logPath).find(engine.settings().password),
              std::string::npos);
}

}  // namespace
}  // namespace quillrun::test
