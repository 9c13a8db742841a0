#include "engine/engine_fixture.h"
#include "engine/statistics_harvest.h"
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
        observer.messages.clear();
        EXPECT_TRUE(HarvestStatistics(document, statistics, observer).pages.empty());
        EXPECT_EQ(observer.messages, std::vector<std::string>{document + " has been created."})
            << statistics;
        EXPECT_TRUE(Exists(statistics)) << statistics;
    }
}

}  // namespace
}  // namespace quillrun::test
