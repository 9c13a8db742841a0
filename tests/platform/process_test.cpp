#include "platform/process_test.h"

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
    for (const StartFailure& c : StartFailures(tree)) {
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

}  // namespace
}  // namespace quillrun::platform
