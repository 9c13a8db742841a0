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
        engine.m_sourcePath = local.makeFolder("in");
        engine.m_destPath = local.makeFolder("out");
        local.writeFile(std::string("in/") + c.name);
        EXPECT_EQ(engine.FindNextImage(engine.m_sourcePath), c.accepted ? 1 : 0) << c.name;
    }
}

TEST_F(SourceSearch, DocumentAndMarkerNamesMirrorTheImageWithLowerCaseExtensions) {
    tree.writeFile("in/box7/May/page1.TIF");
    ASSERT_EQ(engine.FindNextImage(source), 1);
    EXPECT_EQ(engine.m_currentImage, source + "/box7/May/page1.TIF");
    EXPECT_EQ(engine.m_pendingOutput, destination + "/box7/May/page1.orx");

    TempTree other;
    other.writeFile("in/.tif");
    engine.m_sourcePath = other.path("in");
    engine.m_destPath = other.path("out");
    ASSERT_EQ(engine.FindNextImage(engine.m_sourcePath), 1);
    EXPECT_EQ(engine.m_pendingOutput, other.path("out/.orx"));
}

TEST_F(SourceSearch, TwinsKeepAnImageOutWhateverKindOfEntryTheyAre) {
    tree.writeFile("in/page.tif");
    tree.writeFile("in/page.pdf");
    tree.writeFile("out/page.bad", "/elsewhere/page.tif");
    EXPECT_EQ(engine.FindNextImage(source), 0);  // a marker from an earlier run, no document

    std::remove(tree.path("out/page.bad").c_str());
    tree.makeFolder("out/page.orx");
    EXPECT_EQ(engine.FindNextImage(source), 0);  // one document serves both images
}

TEST_F(SourceSearch, FolderNamedLikeAnImageIsSearchedButNeverTaken) {
    tree.makeFolder("in/scan.tif");
    EXPECT_EQ(engine.FindNextImage(source), 0);
    tree.writeFile("in/scan.tif/inner.pdf");
    ASSERT_EQ(engine.FindNextImage(source), 1);
    EXPECT_EQ(engine.m_pendingOutput, destination + "/scan.tif/inner.orx");
}

TEST_F(SourceSearch, WalksDepthFirstInListingOrder) {
    tree.writeFile("in/a/deep.tif");
    tree.writeFile("in/b.tif");
    const std::string expected =
        FirstListed(source) == "a" ? source + "/a/deep.tif" : source + "/b.tif";
    ASSERT_EQ(engine.FindNextImage(source), 1);
    EXPECT_EQ(engine.m_currentImage, expected);
}

TEST_F(SourceSearch, ImageHeldOpenIsSkippedForTheNextInTheSameCycle) {
    const std::string first = tree.writeFile("in/one.tif");
    const std::string second = tree.writeFile("in/two.tif");
    const bool oneFirst = FirstListed(source) == "one.tif";
    const std::string held = oneFirst ? first : second;
    FileHolder holder(held, "w", tree.root());
    ASSERT_EQ(engine.FindNextImage(source), 1);
    EXPECT_EQ(engine.m_currentImage, oneFirst ? second : first);
}

TEST_F(SourceSearch, LinkCyclesEndAndTheWalkGoesOn) {
    tree.makeFolder("in/a/b");
    ASSERT_EQ(::symlink(source.c_str(), tree.path("in/a/b/up").c_str()), 0);
    ASSERT_EQ(::symlink(tree.path("in/a").c_str(), tree.path("in/a/b/sideways").c_str()), 0);
    EXPECT_EQ(engine.FindNextImage(source), 0);
    tree.writeFile("in/a/b/last.tif");
    EXPECT_EQ(engine.FindNextImage(source), 1);
    EXPECT_EQ(engine.FindNextImage(source), 1) << "the descent is unwound after a hit";
}

TEST_F(SourceSearch, UnlistableRootFindsNothing) {
    engine.m_sourcePath = tree.path("missing");
    engine.StartWork();
    EXPECT_EQ(host.status(), "Waiting for work");
}

TEST_F(SourceSearch, DestinationInsideOrEqualToTheSourceConvertsEachImageOnce) {
    for (const std::string& relativeDestination : {std::string("in/out"), std::string("in")}) {
        TempTree local;
        QuillrunEngine nested(host);
        nested.m_readerPath = engine.m_readerPath;
        nested.m_writeLog = 0;
        nested.m_sourcePath = local.makeFolder("in");
        nested.m_destPath = local.makeFolder(relativeDestination);
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
