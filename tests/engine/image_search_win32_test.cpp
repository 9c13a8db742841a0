#include <windows.h>

#include "engine/engine_fixture.h"
#include "platform/win32/wide_text.h"

namespace quillrun::test {
namespace {

using SourceSearchWin32 = EngineTest;

bool LinkFolder(const std::string& link, const std::string& target) {
    return ::CreateSymbolicLinkW(
               platform::ToWide(link).c_str(), platform::ToWide(target).c_str(),
               SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) != 0;
}

// Folder links carry the folder bit and are followed; a link back up the tree is recognised by
// the folder's volume and file index, so the walk ends.
TEST_F(SourceSearchWin32, LinkCyclesEndAndTheWalkGoesOn) {
    tree.makeFolder("in/a/b");
    if (!LinkFolder(tree.path("in/a/b/up"), source)) {
        GTEST_SKIP() << "this system does not let the test create folder links";
    }
    EXPECT_FALSE(findNext());
    tree.writeFile("in/a/b/last.tif");
    EXPECT_TRUE(findNext());
}

}  // namespace
}  // namespace quillrun::test
