#include <sys/stat.h>
#include <unistd.h>

#include "engine/engine_fixture.h"
#include "engine/statistics_harvest.h"

namespace quillrun::test {
namespace {

using StatisticsHarvest = EngineTest;

// Only a regular file is harvested: a pipe nobody writes to, or a device that never ends, would
// hold the work (and the whole window) for good. Whatever stands there is left as it is.
TEST_F(StatisticsHarvest, AnythingButARegularFileIsLeftAloneWithoutWaiting) {
    const std::string document = tree.writeFile("out/a.orx", "doc");
    const std::string pipe = tree.path("out/pipe.dat");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string device = tree.path("out/device.dat");
    ASSERT_EQ(::symlink("/dev/zero", device.c_str()), 0);
    const std::string folder = tree.makeFolder("out/folder.dat");
    for (const std::string& statistics : {pipe, device, folder}) {
        observer.messages.clear();
        EXPECT_TRUE(HarvestStatistics(document, statistics, observer).pages.empty());
        EXPECT_EQ(observer.messages, std::vector<std::string>{document + " has been created."})
            << statistics;
        EXPECT_TRUE(Exists(statistics)) << statistics;
    }
}

}  // namespace
}  // namespace quillrun::test
