#include <unistd.h>

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

}  // namespace
}  // namespace quillrun::test
