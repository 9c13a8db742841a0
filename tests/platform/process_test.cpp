#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/process.h"
#include "platform/unique_fd.h"
#include "support/temp_tree.h"

namespace quillrun::platform {
namespace {

using test::TempTree;

TEST(RunProgram, ProgramGetsItsArgumentsWithoutAShellInBetween) {
    TempTree tree;
    const std::string record = tree.path("args");
    const std::string line = std::string("\"") + SCRIPTED_READER_PATH + "\" \"--record=" + record +
                             "\" \"$(touch " + tree.path("pwned") + ")\" ';' '*'";
    const ProgramRun run = RunProgram(line);
    EXPECT_TRUE(run.started);
    EXPECT_EQ(test::RecordedArguments(record),
              (std::vector<std::string>{SCRIPTED_READER_PATH, "--record=" + record,
                                        "$(touch " + tree.path("pwned") + ")", "';'", "'*'"}));
    EXPECT_FALSE(test::Exists(tree.path("pwned")));
}

TEST(RunProgram, MissingOrNonExecutableProgramIsAStartFailureThatSaysWhy) {
    TempTree tree;
    struct Case {
        std::string program;
        SystemErrorCode code;
        const char* message;
    };
    const Case cases[] = {
        {tree.path("missing"), SystemErrorCode::NotFound, "No such file or directory"},
        {std::string(), SystemErrorCode::NotFound, "No such file or directory"},
        {tree.writeFile("not-a-program", "text"), SystemErrorCode::AccessDenied,
         "Permission denied"},
        {tree.makeFolder("a folder"), SystemErrorCode::AccessDenied, "Permission denied"},
    };
    for (const Case& c : cases) {
        const ProgramRun run = RunProgram("\"" + c.program + "\" -x");
        EXPECT_FALSE(run.started) << c.program;
        EXPECT_EQ(run.startError.code, c.code) << c.program;
        EXPECT_EQ(run.startError.message, c.message) << c.program;
    }
}

TEST(RunProgram, CrashingProgramCountsAsEnded) {
    const ProgramRun run = RunProgram(std::string("\"") + SCRIPTED_READER_PATH + "\" --crash");
    EXPECT_TRUE(run.started);
    EXPECT_FALSE(run.endedOnRequest);
}

TEST(RunProgram, ObserverSeesTheRunAndCanEndIt) {
    int observations = 0;
    const ProgramRun run = RunProgram(
        std::string("\"") + SCRIPTED_READER_PATH + "\" --sleep-forever",
        [&](std::chrono::milliseconds) {
            return ++observations < 3 ? WaitVerdict::KeepWaiting : WaitVerdict::EndProgram;
        });
    EXPECT_TRUE(run.started);
    EXPECT_TRUE(run.endedOnRequest);
    EXPECT_GE(observations, 3);
}

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
