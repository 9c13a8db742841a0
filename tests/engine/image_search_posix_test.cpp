#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "engine/claim_record.h"
#include "engine/engine_fixture.h"

namespace quillrun::test {
namespace {

using SourceSearch = EngineTest;

TEST_F(SourceSearch, LinkCyclesEndAndTheWalkGoesOn) {
    tree.makeFolder("in/a/b");
    ASSERT_EQ(::symlink(source.c_str(), tree.path("in/a/b/up").c_str()), 0);
    ASSERT_EQ(::symlink(tree.path("in/a").c_str(), tree.path("in/a/b/sideways").c_str()), 0);
    EXPECT_FALSE(findNext());
    tree.writeFile("in/a/b/last.tif");
    EXPECT_TRUE(findNext());
    EXPECT_TRUE(findNext()) << "the descent is unwound after a hit";
}

// A claim that names a live process of this machine which is not a Quillrun (here the first
// process, with its real start time) keeps its image held, and the log says so once.
TEST_F(SourceSearch, ImageClaimedByAnotherProgramStaysHeldAndIsNamedOnce) {
    std::ifstream stat("/proc/1/stat");
    const std::string text((std::istreambuf_iterator<char>(stat)), {});
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    for (int number = 3; number < 22 && fields >> field; ++number) {
    }
    platform::ProcessIdentity first = platform::ThisProcess();
    first.pid = 1;
    ASSERT_TRUE(fields >> first.started);
    const std::string image = tree.writeFile("in/a.tif");
    const std::string slot = tree.writeFile("out/a.clm", FormatClaimRecord(first));
    std::vector<std::string> log;
    ImageSearch watched(source, destination, claims,
                        [&log](const std::string& message) { log.push_back(message); });
    EXPECT_FALSE(watched.Next());
    EXPECT_FALSE(watched.Next());
    EXPECT_EQ(log, std::vector<std::string>{
                       image + " is claimed by process 1 (" + platform::ProcessName(1) +
                       "), which is not a Quillrun: it stays held until " + slot + " is removed."});
}

}  // namespace
}  // namespace quillrun::test
