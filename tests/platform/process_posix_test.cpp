#include <fcntl.h>

#include <gtest/gtest.h>

#include "platform/process_test.h"
#include "platform/unique_fd.h"

namespace quillrun::platform {

std::vector<StartFailure> StartFailures(const test::TempTree& tree) {
    return {
        {tree.path("missing"), SystemErrorCode::NotFound, "No such file or directory"},
        {std::string(), SystemErrorCode::NotFound, "No such file or directory"},
        {tree.writeFile("not-a-program", "text"), SystemErrorCode::AccessDenied,
         "Permission denied"},
        {tree.makeFolder("a folder"), SystemErrorCode::AccessDenied, "Permission denied"},
    };
}

namespace {

using test::TempTree;

TEST(RunProgram, NoDescriptorOfOursLeaksIntoTheProgram) {
    TempTree tree;
    const std::string secret = tree.writeFile("secret", "x");
    // Deliberately opened without close-on-exec, as a careless library might.
    UniqueFd leaky(::open(secret.c_str(), O_RDONLY));
    ASSERT_TRUE(leaky);
    const std::string listing = tree.path("fds");
    ASSERT_TRUE(
        RunProgram(std::string("\"") + SCRIPTED_READER_PATH + "\" --list-fds=" + listing).started);
    // The listing is taken before the reader opens anything of its own.
    EXPECT_EQ(test::ReadFile(listing), "0 1 2 ");
}

}  // namespace
}  // namespace quillrun::platform
