#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "engine/engine_fixture.h"
#include "platform/unique_fd.h"

namespace quillrun::test {
namespace {

using SourceFaults = EngineTest;

TEST_F(SourceFaults, SourceRootRemovedWhileWorkingMeansWaiting) {
    tree.writeFile("in/a.tif");
    tree.writeFile("in/b.tif");
    ASSERT_TRUE(convertNext());
    std::filesystem::remove_all(source);
    EXPECT_FALSE(findNext());
    EXPECT_FALSE(findNext());
}

TEST_F(SourceFaults, HundredThousandEntriesInOneFolder) {
    const std::string crowded = tree.makeFolder("in/crowded");
    for (int i = 0; i < 100000; ++i) {
        platform::UniqueFd fd(::open((crowded + "/note" + std::to_string(i) + ".txt").c_str(),
                                     O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
        ASSERT_TRUE(fd);
    }
    tree.writeFile("in/crowded/needle.pdf");
    const std::optional<Candidate> found = findNext();
    ASSERT_TRUE(found);
    EXPECT_EQ(found->image, crowded + "/needle.pdf");
}

// Builds a chain of folders whose full path grows past the system's path limit, with an image
// halfway down and one at the bottom.
std::string BuildDeepChain(const std::string& root, std::string& reachableImage) {
    const std::string level(200, 'd');
    platform::UniqueFd folder(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    std::string path = root;
    for (int depth = 0; depth < 25; ++depth) {
        ::mkdirat(folder.get(), level.c_str(), 0755);
        folder = platform::UniqueFd(
            ::openat(folder.get(), level.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        path += "/" + level;
        if (depth == 10) {
            platform::UniqueFd image(
                ::openat(folder.get(), "half.tif", O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
            reachableImage = path + "/half.tif";
            BackdateFile(reachableImage);
        }
    }
    platform::UniqueFd bottom(
        ::openat(folder.get(), "bottom.tif", O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
    return path;
}

TEST_F(SourceFaults, PathsLongerThanTheSystemLimitAreWalkedAsFarAsTheyReach) {
    std::string reachable;
    const std::string deepest = BuildDeepChain(source, reachable);
    ASSERT_GT(deepest.size(), 4096u);
    const std::optional<Candidate> found = findNext();
    ASSERT_TRUE(found);
    EXPECT_EQ(found->image, reachable);
    convert(*found);
    EXPECT_FALSE(findNext());
}

}  // namespace
}  // namespace quillrun::test
