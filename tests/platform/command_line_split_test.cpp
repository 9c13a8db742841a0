#include <gtest/gtest.h>

#include "platform/process.h"

namespace quillrun::platform {
namespace {

struct SplitCase {
    const char* line;
    std::vector<std::string> arguments;
};

TEST(SplitCommandLine, BlanksOutsideQuotesSeparateAndQuotesAreDropped) {
    const SplitCase cases[] = {
        {"", {}},
        {"   ", {}},
        {"a b\tc", {"a", "b", "c"}},
        {"\"/opt/or lavex/bin\" -in:\"/in/a b.tif\" -x",
         {"/opt/or lavex/bin", "-in:/in/a b.tif", "-x"}},
        // An empty quoted run is still an argument.
        {"prog \"\" x", {"prog", "", "x"}},
        // Quotes may stand anywhere in an argument and join what they touch.
        {"a\"b c\"d", {"ab cd"}},
        // No shell syntax; backslashes escape only a double quote that follows them.
        {"p $(rm -rf) ; `x` a\\b\\", {"p", "$(rm", "-rf)", ";", "`x`", "a\\b\\"}},
        {"\"-pwd:a \\\"b\\\\\" \\\\\\\"", {"-pwd:a \"b\\", "\\\""}},
        // An unclosed quote runs to the end.
        {"p \"open end", {"p", "open end"}},
        {"p \"line\nbreak\"", {"p", "line\nbreak"}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(SplitCommandLine(c.line), c.arguments) << "line: " << c.line;
    }
}

}  // namespace
}  // namespace quillrun::platform
