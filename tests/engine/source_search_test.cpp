#include <unistd.h>

#include "engine/engine_fixture.h"
#include "platform/file_system.h"
#include "support/background_process.h"

namespace quillrun::test {
namespace {

using SourceSearch = EngineTest;

std::string FirstListed(const std::string& folder) {
    platform::FolderListing listing(folder);
    platform::FolderEntry entry;
    return listing.next(entry) ? entry.name : std::string();
}

TEST_F(SourceSearch, AcceptsOnlyTifAndPdfWhateverTheirCase) {
    struct Case {
        const char* name;
        bool accepted;
    };
    const Case cases[] = {{"page.TIF", true},   {"page.Pdf", true},      {".tif", true},
                          {"page.tiff", false}, {"page.tif.bak", false}, {"no-extension", false},
                          {"page.orx", false},  {"tif", false}};
    for (const Case& c : cases) {
        TempTree local;
        engine.settings().sourcePath = local.makeFolder("in");
        engine.settings().destPath = local.makeFolder("out");
        local.writeFile(std::string("in/") + c.name);
        EXPECT_EQ(engine.FindNextImage(engine.settings().sourcePath), c.accepted) << c.name;
    }
}

TEST_F(SourceSearch, DocumentAndMarkerNamesMirrorTheImageWithLowerCaseExtensions) {
    tree.writeFile("in/box7/May/page1.TIF");
    ASSERT_TRUE(engine.FindNextImage(source));
    EXPECT_EQ(engine.currentImage(), source + "/box7/May/page1.TIF");
    EXPECT_EQ(engine.pendingOutput(), destination + "/box7/May/page1.orx");

    TempTree other;
    other.writeFile("in/.tif");
    engine.settings().sourcePath = other.path("in");
    engine.settings().destPath = other.path("out");
    ASSERT_TRUE(engine.FindNextImage(engine.settings().sourcePath));
    EXPECT_EQ(engine.pendingOutput(), other.path("out/.orx"));
}

TEST_F(SourceSearch, TwinsKeepAnImageOutWhateverKindOfEntryTheyAre) {
    tree.writeFile("in/page.tif");
    tree.writeFile("in/page.pdf");
    tree.writeFile("out/page.bad", "/elsewhere/page.tif");
    EXPECT_FALSE(engine.FindNextImage(source));  // a marker from an earlier run, no document

    std::remove(tree.path("out/page.bad").c_str());
    tree.makeFolder("out/page.orx");
    EXPECT_FALSE(engine.FindNextImage(source));  // one document serves both images
}

TEST_F(SourceSearch, FolderNamedLikeAnImageIsSearchedButNeverTaken) {
    tree.makeFolder("in/scan.tif");
    EXPECT_FALSE(engine.FindNextImage(source));
    tree.writeFile("in/scan.tif/inner.pdf");
    ASSERT_TRUE(engine.FindNextImage(source));
    EXPECT_EQ(engine.pendingOutput(), destination + "/scan.tif/inner.orx");
}

TEST_F(SourceSearch, WalksDepthFirstInListingOrder) {
    tree.writeFile("in/a/deep.tif");
    tree.writeFile("in/b.tif");
    const std::string expected =
        FirstListed(source) == "a" ? source + "/a/deep.tif" : source + "/b.tif";
    ASSERT_TRUE(engine.FindNextImage(source));
    EXPECT_EQ(engine.currentImage(), expected);
}

TEST_F(SourceSearch, ImageHeldOpenIsSkippedForTheNextInTheSameCycle) {
    const std::string first = tree.writeFile("in/one.tif");
    const std::string second = tree.writeFile("in/two.tif");
    const bool oneFirst = FirstListed(source) == "one.tif";
    const std::string held = oneFirst ? first : second;
    FileHolder holder(held, "w", tree.root());
    ASSERT_TRUE(engine.FindNextImage(source));
    EXPECT_EQ(engine.currentImage(), oneFirst ? second : first);
}

TEST_F(SourceSearch, LinkCyclesEndAndTheWalkGoesOn) {
    tree.makeFolder("in/a/b");
    ASSERT_EQ(::symlink(source.c_str(), tree.path("in/a/b/up").c_str()), 0);
    ASSERT_EQ(::symlink(tree.path("in/a").c_str(), tree.path("in/a/b/sideways").c_str()), 0);
    EXPECT_FALSE(engine.FindNextImage(source));
    tree.writeFile("in/a/b/last.tif");
    EXPECT_TRUE(engine.FindNextImage(source));
    EXPECT_TRUE(engine.FindNextImage(source)) << "the descent is unwound after a hit";
}

TEST_F(SourceSearch, UnlistableRootFindsNothing) {
    engine.settings().sourcePath = tree.path("missing");
    engine.StartWork();
    EXPECT_EQ(host.status(), "Waiting for work");
}

TEST_F(SourceSearch, DestinationInsideOrEqualToTheSourceConvertsEachImageOnce) {
    for (const std::string& relativeDestination : {std::string("in/out"), std::string("in")}) {
        TempTree local;
        QuillrunEngine nested(host);
        nested.SetReaderPath(engine.readerPath());
        nested.settings().writeLog = 0;
        nested.settings().sourcePath = local.makeFolder("in");
        nested.settings().destPath = local.makeFolder(relativeDestination);
        local.writeFile("in/a.tif");
        local.writeFile("in/sub/b.pdf");
        nested.StartWork();
        for (int tick = 0; tick < 6; ++tick) {
            nested.OnTimer(1);
        }
        EXPECT_TRUE(Exists(local.path(relativeDestination + "/a.orx")));
        EXPECT_TRUE(Exists(local.path(relativeDestination + "/sub/b.orx")));
        EXPECT_FALSE(Exists(local.path(relativeDestination + "/a.bad")));
        EXPECT_EQ(host.status(), "Waiting for work") << relativeDestination;
    }
}

}  // namespace
}  // namespace quillrun::test
