#include "engine/engine_fixture.h"
#include "support/background_process.h"

namespace quillrun::test {
namespace {

using StatisticsHarvest = EngineTest;

// A statistics file that another program keeps to itself, or a folder in its place, is left as
// it is at once: the harvest never waits for a file to be let go.
TEST_F(StatisticsHarvest, AFolderOrAFileHeldByAnotherProgramIsLeftAloneWithoutWaiting) {
    const std::string document = tree.writeFile("out/a.orx", "doc");
    const std::string held = tree.writeFile("out/held.dat", "100, 2, 1, 0, 0\r\n");
    FileHolder holder(held, "x", tree.root());
    const std::string folder = tree.makeFolder("out/folder.dat");
    for (const std::string& statistics : {held, folder}) {
        host.log.clear();
        engine.HarvestStatistics(document, statistics);
        EXPECT_EQ(logMessages(), std::vector<std::string>{document + " has been created."})
            << statistics;
        EXPECT_TRUE(Exists(statistics)) << statistics;
    }
    EXPECT_TRUE(engine.pageStats().empty());
}

}  // namespace
}  // namespace quillrun::test
