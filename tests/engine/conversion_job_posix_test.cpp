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
    ASSERT_TRUE(convertNext());
    EXPECT_EQ(observer.messages, std::vector<std::string>{destination + " is a read only folder."});
}

TEST_F(ConversionJob, NameWithADoubleQuoteIsNeverRunAndGetsItsMarker) {
    const std::string image = tree.writeFile("in/say \"cheese\".tif");
    const std::string record = tree.path("args");
    useTemplate("--record=" + record);
    ASSERT_EQ(convertNext()->outcome, JobOutcome::Failed);
    EXPECT_FALSE(Exists(record));
    EXPECT_EQ(ReadFile(destination + "/say \"cheese\".bad"), image);
    EXPECT_EQ(observer.messages,
              std::vector<std::string>{image + " cannot be passed to the reading program: its "
                                               "path contains a double-quote character."});
    EXPECT_FALSE(findNext());

    // A quote in the destination root: the line names the path that holds it, the document's.
    TempTree other;
    observer.messages.clear();
    settings.sourcePath = other.makeFolder("in");
    settings.destPath = other.makeFolder("out \"quoted\"");
    const std::string plain = other.writeFile("in/plain.tif");
    ASSERT_TRUE(convertNext());
    EXPECT_EQ(observer.messages,
              std::vector<std::string>{settings.destPath + "/plain.orx cannot be passed to the "
                                                           "reading program: its path contains a "
                                                           "double-quote character."});
    EXPECT_EQ(ReadFile(settings.destPath + "/plain.bad"), plain);
}

// The marker is what keeps a failed image from being run again on every tick: when it cannot be
// written, the work stops as it does when the destination folder is unusable, and says why.
TEST_F(ConversionJob, MarkerThatCannotBeWrittenStopsTheWorkAndSaysWhy) {
    const std::string image = tree.writeFile("in/sub/p.tif");
    tree.writeFile("in/sub/q.tif");
    useTemplate("--no-doc --remove-out-folder");
    const std::optional<JobResult> result = convertNext();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->outcome, JobOutcome::WorkCannotGoOn);
    EXPECT_TRUE(result->readerRan);
    EXPECT_EQ(observer.messages,
              (std::vector<std::string>{
                  "Warning! - no ORX file was created for " + image + ".",
                  "The failure marker " + destination +
                      "/sub/p.bad could not be written: No such file or directory."}));
}

}  // namespace
}  // namespace quillrun::test
