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
    EXPECT_EQ(ReadFile(destination + "/say \"cheese\".bad"), image);
    EXPECT_EQ(logMessages(),
              std::vector<std::string>{image + " cannot be passed to the reading program: its "
                                               "path contains a double-quote character."});
    engine.OnTimer(1);
    EXPECT_EQ(host.status(), "Waiting for work");

    // A quote in the destination root: the line names the path that holds it, the document's.
    TempTree other;
    RecordingHost otherHost;
    QuillrunEngine quoted(otherHost);
    quoted.SetReaderPath(engine.readerPath());
    quoted.settings().writeLog = false;
    quoted.settings().sourcePath = other.makeFolder("in");
    quoted.settings().destPath = other.makeFolder("out \"quoted\"");
    const std::string plain = other.writeFile("in/plain.tif");
    quoted.StartWork();
    const std::string document = quoted.settings().destPath + "/plain.orx";
    EXPECT_EQ(otherHost.log.substr(11), document +
                                            " cannot be passed to the reading program: its path "
                                            "contains a double-quote character.\r\n");
    EXPECT_EQ(ReadFile(quoted.settings().destPath + "/plain.bad"), plain);
}

// The marker is what keeps a failed image from being run again on every tick: when it cannot be
// written, the work stops as it does when the destination folder is unusable, and says why.
TEST_F(ConversionJob, MarkerThatCannotBeWrittenStopsTheWorkAndSaysWhy) {
    const std::string image = tree.writeFile("in/sub/p.tif");
    tree.writeFile("in/sub/q.tif");
    useTemplate("--no-doc --remove-out-folder");
    engine.StartWork();
    const std::vector<std::string> expected{
        "Warning! - no ORX file was created for " + image + ".",
        "The failure marker " + destination +
            "/sub/p.bad could not be written: No such file or directory."};
    EXPECT_EQ(logMessages(), expected);
    EXPECT_EQ(host.status(), kStatusStopped);
    engine.OnTimer(1);
    engine.OnTimer(1);
    EXPECT_EQ(logMessages(), expected);
    EXPECT_EQ(host.readerEnds, 1);  // the reader ran once, for p.tif
}

}  // namespace
}  // namespace quillrun::test
