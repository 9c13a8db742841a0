#include <gtest/gtest.h>

#include "app/help_path.h"

namespace quillrun::app {
namespace {

TEST(HelpPath, IsQuillrunHtmlInTheExecutablesFolderWhateverItIsCalled) {
    struct Case {
        const char* executable;
        const char* help;
    };
    const Case cases[] = {
        {"/opt/tools/quillrun", "/opt/tools/Quillrun.html"},
        {"/opt/tools/Quillrun.exe", "/opt/tools/Quillrun.html"},
        {"/home/ann/bin/renamed-copy", "/home/ann/bin/Quillrun.html"},
        {"/home/ann/my scans/q.bin", "/home/ann/my scans/Quillrun.html"},
        {"/usr/local/bin.d/quillrun", "/usr/local/bin.d/Quillrun.html"},
        {"/quillrun", "/Quillrun.html"},
        {"quillrun", "Quillrun.html"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HelpPathFor(c.executable), c.help) << c.executable;
    }
}

}  // namespace
}  // namespace quillrun::app
