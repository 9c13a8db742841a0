#include <windows.h>

#include "log/activity_log_test.h"
#include "platform/system_error_win32.h"

namespace quillrun {

// A folder opened as a file is refused as access denied on Windows.
std::vector<UnopenableLog> UnopenableLogs(const test::TempTree& tree) {
    using platform::SystemErrorFromWin32;
    return {{tree.path("no/such/folder/a.log"), SystemErrorFromWin32(ERROR_PATH_NOT_FOUND).message},
            {tree.root(), SystemErrorFromWin32(ERROR_ACCESS_DENIED).message}};
}

namespace {

// The log file is named in UTF-16 at the call, so a path in any script works; the bytes of the
// line are written as they are.
TEST(ActivityLogWin32, LogFileInAFolderOfAnyScriptGetsTheLine) {
    test::TempTree tree;
    Screen screen;
    ActivityLog log(screen);
    const std::string file =
        tree.makeFolder(
            "\xce\x91\xcf\x81\xcf\x87\xce\xb5\xce\xaf\xce\xb1 \xe6\x97\xa5\xe8\xaa\x8c") +
        "\\activity.log";
    log.Write("\xce\xb1.tif has been created.", true, file);
    EXPECT_TRUE(IsStampedLines(test::ReadFile(file), {"\xce\xb1.tif has been created."}));
}

}  // namespace
}  // namespace quillrun
