// The count of waiting images that --metrics shows: a walk that takes nothing must neither miss
// an image nor leave the search memory believing a folder holds nothing to take.
#include "engine/engine_fixture.h"

namespace quillrun::test {
namespace {

using SourceSearch = EngineTest;

TEST_F(SourceSearch, CountsTheWaitingImagesAndStillHandsEachOfThemOut) {
    for (const char* image : {"in/a/1.tif", "in/a/2.tif", "in/b/3.pdf", "in/b/c/4.TIF",
                              "in/b/c/5.tif", "in/b/c/6.tif"}) {
        tree.writeFile(image);
    }
    tree.writeFile("out/a/2.orx");
    tree.writeFile("out/b/c/5.bad");
    claims.Reserve(tree.path("out/b/3.orx"));
    // Every folder has long settled, so the memory trusts what it recorded.
    search().memory().setClock(
        [] { return std::chrono::system_clock::now() + std::chrono::hours(1); });
    EXPECT_EQ(search().CountWaiting([] { return true; }), std::nullopt);
    for (std::size_t waiting = 3;; --waiting) {
        EXPECT_EQ(search().CountWaiting(), waiting);
        EXPECT_EQ(search().CountWaiting(), waiting);
        const std::optional<Candidate> found = findNext();
        ASSERT_EQ(found.has_value(), waiting > 0);
        if (!found) {
            break;
        }
        WriteFile(found->document, "document");
    }
}

}  // namespace
}  // namespace quillrun::test
