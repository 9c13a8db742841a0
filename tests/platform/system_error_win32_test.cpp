#include <windows.h>

#include <gtest/gtest.h>

#include "platform/system_error_win32.h"

namespace quillrun::platform {
namespace {

TEST(SystemErrorWin32, Win32CodesGiveANeutralCodeAndTheSystemsOwnWords) {
    struct Case {
        DWORD error;
        SystemErrorCode code;
    };
    const Case cases[] = {
        {ERROR_FILE_NOT_FOUND, SystemErrorCode::NotFound},
        {ERROR_ACCESS_DENIED, SystemErrorCode::AccessDenied},
        {ERROR_DISK_FULL, SystemErrorCode::NoSpace},
        {ERROR_SHARING_VIOLATION, SystemErrorCode::Busy},
        {ERROR_BAD_EXE_FORMAT, SystemErrorCode::NotExecutable},
        {0x7FFF, SystemErrorCode::Other},
    };
    for (const Case& c : cases) {
        const SystemError error = SystemErrorFromWin32(c.error);
        EXPECT_EQ(error.code, c.code) << c.error;
        // Ready to stand inside a log line: no line end, no closing period of its own.
        ASSERT_FALSE(error.message.empty()) << c.error;
        EXPECT_EQ(error.message.find_first_of("\r\n"), std::string::npos) << error.message;
        EXPECT_NE(error.message.back(), '.') << error.message;
    }
}

}  // namespace
}  // namespace quillrun::platform
