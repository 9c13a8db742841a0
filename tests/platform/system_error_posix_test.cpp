#include <gtest/gtest.h>
#include <cerrno>
#include <cstring>

#include "platform/system_error_posix.h"

namespace quillrun::platform {
namespace {

TEST(SystemError, ErrnoGivesANeutralCodeAndTheLibrarysOwnWords) {
    struct Case {
        int error;
        SystemErrorCode code;
    };
    const Case cases[] = {
        {ENOENT, SystemErrorCode::NotFound},    {EACCES, SystemErrorCode::AccessDenied},
        {ENOSPC, SystemErrorCode::NoSpace},     {EWOULDBLOCK, SystemErrorCode::Busy},
        {ENOTDIR, SystemErrorCode::NotAFolder}, {12345, SystemErrorCode::Other},
    };
    for (const Case& c : cases) {
        const SystemError error = SystemErrorFromErrno(c.error);
        EXPECT_EQ(error.code, c.code) << c.error;
        // What the log showed before errors became values, byte for byte.
        EXPECT_EQ(error.message, std::strerror(c.error)) << c.error;
    }
}

}  // namespace
}  // namespace quillrun::platform
