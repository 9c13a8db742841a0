#include "engine/engine_fixture.h"
#include "platform/file_system.h"
#include "support/background_process.h"

namespace quillrun::test {
namespace {

using SourceSearch = EngineTest;

std::string DocumentFound(std::optional<Candidate> found) {
    return found ? found->document : std::string();
}

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
        settings.sourcePath = local.makeFolder("in");
        settings.destPath = local.makeFolder("out");
        local.writeFile(std::string("in/") + c.name);
        EXPECT_EQ(findNext().has_value(), c.accepted) << c.name;
    }
}

// Roots typed with trailing separators are searched without them, and the settings keep them as
// typed.
TEST_F(SourceSearch, DocumentAndMarkerNamesMirrorTheImageWithLowerCaseExtensions) {
    tree.writeFile("in/box7/May/page1.TIF");
    settings.sourcePath = source + NativePath("//");
    settings.destPath = destination + NativePath("/");
    const std::optional<Candidate> found = findNext();
    ASSERT_TRUE(found);
    EXPECT_EQ(found->image, source + NativePath("/box7/May/page1.TIF"));
    EXPECT_EQ(found->document, destination + NativePath("/box7/May/page1.orx"));
    EXPECT_EQ(found->marker, destination + NativePath("/box7/May/page1.bad"));

    TempTree other;
    other.writeFile("in/.tif");
    settings.sourcePath = other.path("in");
    settings.destPath = other.path("out");
    EXPECT_EQ(DocumentFound(findNext()), other.path("out/.orx"));
}

TEST_F(SourceSearch, TwinsKeepAnImageOutWhateverKindOfEntryTheyAre) {
    tree.writeFile("in/page.tif");
    tree.writeFile("in/page.pdf");
    tree.writeFile("out/page.bad", "/elsewhere/page.tif");
    EXPECT_FALSE(findNext());  // a marker from an earlier run, no document

    RemovePath(tree.path("out/page.bad"));
    tree.makeFolder("out/page.orx");
    EXPECT_FALSE(findNext());  // one document serves both images
}

TEST_F(SourceSearch, FolderNamedLikeAnImageIsSearchedButNeverTaken) {
    tree.makeFolder("in/scan.tif");
    EXPECT_FALSE(findNext());
    tree.writeFile("in/scan.tif/inner.pdf");
    EXPECT_EQ(DocumentFound(findNext()), destination + NativePath("/scan.tif/inner.orx"));
}

TEST_F(SourceSearch, WalksDepthFirstInListingOrder) {
    tree.writeFile("in/a/deep.tif");
    tree.writeFile("in/b.tif");
    const std::string expected = FirstListed(source) == "a" ? source + NativePath("/a/deep.tif")
                                                            : source + NativePath("/b.tif");
    const std::optional<Candidate> found = findNext();
    ASSERT_TRUE(found);
    EXPECT_EQ(found->image, expected);
}

TEST_F(SourceSearch, ImageHeldOpenIsSkippedForTheNextInTheSameCycle) {
    const std::string first = tree.writeFile("in/one.tif");
    const std::string second = tree.writeFile("in/two.tif");
    const bool oneFirst = FirstListed(source) == "one.tif";
    const std::string held = oneFirst ? first : second;
    FileHolder holder(held, "w", tree.root());
    const std::optional<Candidate> found = findNext();
    ASSERT_TRUE(found);
    EXPECT_EQ(found->image, oneFirst ? second : first);
}

TEST_F(SourceSearch, UnlistableRootFindsNothing) {
    settings.sourcePath = tree.path("missing");
    EXPECT_FALSE(findNext());
}

TEST_F(SourceSearch, DestinationInsideOrEqualToTheSourceConvertsEachImageOnce) {
    for (const std::string& relativeDestination : {std::string("in/out"), std::string("in")}) {
        TempTree local;
        settings.sourcePath = local.makeFolder("in");
        settings.destPath = local.makeFolder(relativeDestination);
        local.writeFile("in/a.tif");
        local.writeFile("in/sub/b.pdf");
        int converted = 0;
        while (const std::optional<JobResult> result = convertNext()) {
            ASSERT_EQ(result->outcome, JobOutcome::Converted);
            ASSERT_LE(++converted, 2) << relativeDestination;
        }
        EXPECT_TRUE(Exists(local.path(relativeDestination + "/a.orx")));
        EXPECT_TRUE(Exists(local.path(relativeDestination + "/sub/b.orx")));
    }
}

}  // namespace
}  // namespace quillrun::test
