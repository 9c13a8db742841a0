#include <windows.h>

#include <gtest/gtest.h>

#include "platform/file_readiness.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "support/temp_tree.h"

namespace quillrun::platform {
namespace {

// Whatever another reader or writer shares, the readiness test's open without sharing meets a
// sharing violation, and the file is not ready until that opener has closed it.
TEST(FileReadinessWin32, AnyOtherOpenIsASharingViolation) {
    struct Case {
        const char* what;
        DWORD access;
        DWORD share;
    };
    const Case cases[] = {
        {"reader sharing everything", GENERIC_READ,
         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE},
        {"reader sharing nothing", GENERIC_READ, 0},
        {"writer sharing reads", GENERIC_WRITE, FILE_SHARE_READ},
        {"appender sharing everything", FILE_APPEND_DATA,
         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE},
    };
    test::TempTree tree;
    const std::string image = tree.writeFile("scan.tif");
    for (const Case& c : cases) {
        UniqueHandle other(::CreateFileW(ToWide(image).c_str(), c.access, c.share, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(other) << c.what;
        EXPECT_FALSE(IsFileReady(image)) << c.what;
        other.reset();
        EXPECT_TRUE(IsFileReady(image)) << c.what;
    }
}

}  // namespace
}  // namespace quillrun::platform
