#include <sys/stat.h>
#include <unistd.h>

#include "engine/conversion_job_test.h"

#include <filesystem>
#include <functional>
#include <utility>

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

// Failures that only one image meets on this system: each ends that image, passed over for the
// run with the reason in the log, and writes nothing outside the destination hierarchy.
TEST_F(ConversionJob, HostilePathsAndLinksEndTheirImageOnly) {
    const struct {
        const char* what;
        std::function<std::string(TempTree&)> arrange;  // gives the image
        const char* option;
        std::vector<std::string> messages;  // with IMAGE and FOLDER for the image and its folder
    } cases[] = {
        {"a mirrored path past the system's limit",
         [this](TempTree& t) {
             std::string relative = "in";
             for (int level = 0; level < 16; ++level) {
                 relative += "/" + std::string(250, 'd');
             }
             settings.destPath = t.makeFolder("out/" + std::string(200, 'o'));
             return t.writeFile(relative + "/p.tif");
         },
         "",
         {"Unable to Create the folder FOLDER",
          "The folder could not be created: File name too long.",
          "IMAGE is passed over until the work is started again."}},
        {"a link where its folder belongs",
         [](TempTree& t) {
             t.makeFolder("elsewhere");
             EXPECT_TRUE(MakeLink(t.path("elsewhere"), t.path("out/sub")));
             return t.writeFile("in/sub/p.tif");
         },
         "",
         {"FOLDER is a link, or lies below one: nothing is written through a link in the "
          "destination hierarchy.",
          "IMAGE is passed over until the work is started again."}},
        {"a marker that cannot be written",
         [](TempTree& t) { return t.writeFile("in/sub/p.tif"); },
         "--no-doc --remove-out-folder",
         {"Warning! - no ORX file was created for IMAGE.",
          "The failure marker FOLDER/p.bad could not be written: No such file or directory.",
          "IMAGE is passed over until the work is started again."}},
    };
    for (const auto& c : cases) {
        TempTree local;
        settings.sourcePath = local.makeFolder("in");
        settings.destPath = local.makeFolder("out");
        const std::string image = c.arrange(local);
        useTemplate(c.option);
        observer.messages.clear();
        const std::optional<JobResult> result = convertNext();
        ASSERT_TRUE(result) << c.what;
        EXPECT_EQ(result->outcome, JobOutcome::PassedOver) << c.what;
        const std::string folder =
            settings.destPath +
            image.substr(settings.sourcePath.size(), image.rfind('/') - settings.sourcePath.size());
        std::vector<std::string> expected;
        for (std::string message : c.messages) {
            for (const auto& [name, value] : {std::pair{"IMAGE", image}, {"FOLDER", folder}}) {
                if (const std::size_t at = message.find(name); at != std::string::npos) {
                    message.replace(at, std::string_view(name).size(), value);
                }
            }
            expected.push_back(message);
        }
        EXPECT_EQ(observer.messages, expected) << c.what;
        std::error_code error;
        EXPECT_TRUE(!Exists(local.path("elsewhere")) ||
                    std::filesystem::is_empty(local.path("elsewhere"), error))
            << c.what;
    }
}

// A link planted at the statistics file's name is removed, not followed, before the reading
// program runs: it is never harvested as the image's statistics, nor written through.
TEST_F(ConversionJob, PlantedStatisticsLinkIsRemovedBeforeTheReaderRuns) {
    tree.writeFile("in/p.tif");
    const std::string planted = tree.writeFile("elsewhere/secret", "999, 0, 0, 0, 0\r\n");
    ASSERT_TRUE(MakeLink(planted, destination + "/p.dat"));
    useTemplate("--stats-bytes=" + tree.writeFile("no-statistics", ""));
    const std::optional<JobResult> result = convertNext();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->outcome, JobOutcome::Converted);
    EXPECT_TRUE(result->statistics.pages.empty());
    EXPECT_FALSE(Exists(destination + "/p.dat"));
    EXPECT_EQ(ReadFile(planted), "999, 0, 0, 0, 0\r\n");
}

}  // namespace
}  // namespace quillrun::test
