#include <gtest/gtest.h>

#include "engine/reader_command_line.h"
#include "platform/process.h"

namespace quillrun {
namespace {

struct CommandCase {
    const char* user;
    const char* password;
    const char* commandArgs;
    const char* image;
    const char* expected;
};

TEST(ReaderCommandLine, PiecesStandInTheirOrderWithPlaceholdersReplaced) {
    const CommandCase cases[] = {
        {"", "", "-in:^S -out:^D -nomessage -x", "/in/a/p1.tif",
         R"("/r/orlavex" -in:"/in/a/p1.tif" -out:"/out/a/p1.orx" -nomessage -x -stat:"/out/a/p1.dat")"},
        {"bob", "secret", "-in:^S -x", "/in/p.tif",
         R"("/r/orlavex" -user:bob -pwd:secret -in:"/in/p.tif" -x -stat:"/out/a/p1.dat")"},
        {"bob", "", "-x", "/in/p.tif", R"("/r/orlavex" -user:bob -x -stat:"/out/a/p1.dat")"},
        // A password without a user name is not passed at all.
        {"", "secret", "-x", "/in/p.tif", R"("/r/orlavex" -x -stat:"/out/a/p1.dat")"},
        {"", "", "-plain", "/in/p.tif", R"("/r/orlavex" -plain -stat:"/out/a/p1.dat")"},
        {"", "", "^S ^S", "/in/p.tif",
         R"("/r/orlavex" "/in/p.tif" "/in/p.tif" -stat:"/out/a/p1.dat")"},
        {"", "", "", "/in/p.tif", R"("/r/orlavex"  -stat:"/out/a/p1.dat")"},
        // A path that itself holds a placeholder is carried as it is.
        {"", "", "-in:^S -out:^D", "/in/x^Dy^S.tif",
         R"("/r/orlavex" -in:"/in/x^Dy^S.tif" -out:"/out/a/p1.orx" -stat:"/out/a/p1.dat")"},
        // The user's values reach the program whole: placeholders stay, blanks and quotes are
        // quoted, and nothing else of them changes.
        {"^D", "^S", "-x", "/in/p.tif",
         R"("/r/orlavex" -user:^D -pwd:^S -x -stat:"/out/a/p1.dat")"},
        {"bob smith", R"(pa ss"wo\"rd\)", "-x", "/in/p.tif",
         R"("/r/orlavex" "-user:bob smith" "-pwd:pa ss\"wo\\\"rd\\" -x -stat:"/out/a/p1.dat")"},
    };
    for (const CommandCase& c : cases) {
        const std::string line =
            BuildReaderCommandLine({"\"/r/orlavex\"", c.user, c.password, c.commandArgs, c.image,
                                    "/out/a/p1.orx", "/out/a/p1.dat"});
        EXPECT_EQ(line, c.expected);
        if (*c.user != '\0') {
            // Split again as the reading program's start splits it, the values come back whole.
            const std::vector<std::string> arguments = platform::SplitCommandLine(line);
            EXPECT_EQ(arguments[1], std::string("-user:") + c.user);
            EXPECT_EQ(arguments[2], *c.password != '\0' ? std::string("-pwd:") + c.password : "-x");
        }
    }
}

}  // namespace
}  // namespace quillrun
