#include <windows.h>

#include "platform/process_test.h"
#include "platform/system_error_win32.h"

namespace quillrun::platform {

std::vector<StartFailure> StartFailures(const test::TempTree& tree) {
    const auto failure = [](std::string program, DWORD error) {
        const SystemError expected = SystemErrorFromWin32(error);
        return StartFailure{std::move(program), expected.code, expected.message};
    };
    return {
        failure(tree.path("missing.exe"), ERROR_FILE_NOT_FOUND),
        failure(tree.writeFile("not-a-program.exe", "text"), ERROR_BAD_EXE_FORMAT),
    };
}

namespace {

using test::TempTree;

// Windows hands the program the command line whole; the program's own start-up splits it. What
// was quoted arrives as one argument, with its blanks, letters of any script, and characters a
// shell would act on.
TEST(RunProgramWin32, QuotedPiecesArriveWholeInAnyScript) {
    TempTree tree;
    const std::string record = tree.path("\xce\xb1\xcf\x81\xcf\x87\xce\xb5\xce\xaf\xce\xbf args");
    const std::string pieces[] = {
        "a b;c$d%PATH%&e|f>g",
        "\xce\x95\xce\xbb\xce\xbb\xce\xac\xce\xb4\xce\xb1 \xe6\x97\xa5\xe6\x9c\xac",
        "\xf0\x9f\x93\x84",
    };
    std::string line = "\"" + std::string(SCRIPTED_READER_PATH) + "\" \"--record=" + record + "\"";
    for (const std::string& piece : pieces) {
        line += " -in:\"" + piece + "\"";
    }
    ASSERT_TRUE(RunProgram(line).started);
    const std::vector<std::string> recorded = test::RecordedArguments(record);
    ASSERT_EQ(recorded.size(), 2 + std::size(pieces));
    for (std::size_t i = 0; i < std::size(pieces); ++i) {
        EXPECT_EQ(recorded[2 + i], "-in:" + pieces[i]);
    }
    EXPECT_FALSE(test::Exists(tree.path("g")));
}

}  // namespace
}  // namespace quillrun::platform
