#include <sys/stat.h>
#include <unistd.h>

#include "engine/conversion_job_test.h"

namespace quillrun::test {

std::vector<std::string> UnusualImageNames() {
    return {"with space.tif", "semi;colon.tif", "$(touch pwned).tif",  "-leading-dash.pdf",
            "`tick`.tif",     "new\nline.tif",  "latin1-\xe9\xff.tif", "caret^D^S.tif"};
}

namespace {

TEST_F(ConversionJob, ReadOnlyDestinationFolderIsReported) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may write into any folder";
    }
    tree.writeFile("in/p.tif");
    ASSERT_EQ(::chmod(destination.c_str(), 0555), 0);
    engine.StartWork();
    EXPECT_EQ(logMessages(), std::vector<std::string>{destination + " is a read only folder."});
}

TEST_F(ConversionJob, NameWithADoubleQuoteIsNeverRunAndGetsItsMarker) {
    const std::string image = tree.writeFile("in/say \"cheese\".tif");
    const std::string record = tree.path("args");
    useTemplate("--record=" + record);
    engine.StartWork();
    EXPECT_FALSE(Exists(record));
    EXPECT_EQ(ReadFile(destination + NativePath("/say \"cheese\".bad")), image);
    EXPECT_EQ(logMessages(),
              std::vector<std::string>{image + " cannot be passed to the reading program: its "
                                               "path contains a double-quote character."});
    engine.OnTimer(1);
    EXPECT_EQ(host.status(), "Waiting for work");
}

}  // namespace
}  // namespace quillrun::test
