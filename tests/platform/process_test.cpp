#include <gtest/gtest.h>

#include "platform/process.h"
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

TEST(RunProgram, MissingOrNonExecutableProgramIsAStartFailure) {
    TempTree tree;
    const std::string plain = tree.writeFile("not-a-program", "text");
    const std::string folder = tree.makeFolder("a folder");
    for (const std::string& program : {tree.path("missing"), plain, folder, std::string()}) {
        const ProgramRun run = RunProgram("\"" + program + "\" -x");
        EXPECT_FALSE(run.started) << program;
        EXPECT_NE(run.startError, 0) << program;
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
