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
        {"C:\\Tools\\Quillrun.exe", "C:\\Tools\\Quillrun.html"},
        {"C:\\Program Files\\Quillrun\\renamed.exe", "C:\\Program Files\\Quillrun\\Quillrun.html"},
        {"C:\\quillrun.exe", "C:\\Quillrun.html"},
        {"\\\\server\\tools\\quillrun.exe", "\\\\server\\tools\\Quillrun.html"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HelpPathFor(c.executable), c.help) << c.executable;
    }
}

}  // namespace
}  // namespace quillrun::app
