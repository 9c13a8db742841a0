#include <windows.h>

#include "engine/conversion_job_test.h"
#include "platform/system_error_win32.h"
#include "platform/win32/wide_text.h"

namespace quillrun::test {

std::vector<std::string> UnusualImageNames() {
    return {
        "with space.tif",
        "semi;colon.tif",
        "$(touch pwned).tif",
        "%PATH% & `tick`.tif",
        "-leading-dash.pdf",
        "caret^D^S.tif",
        "\xce\xb5\xce\xb9\xce\xba\xcf\x8c\xce\xbd\xce\xb1 \xce\xb1.tif",                   // Greek
        "\xe6\x96\x87\xe6\x9b\xb8 \xe3\x82\xb9\xe3\x82\xad\xe3\x83\xa3\xe3\x83\xb3.pdf"};  // CJK
}

namespace {

// Windows file names cannot hold a double quote, but a path that does must still never reach the
// command line, whatever its origin. No claim nor marker can be made beside such a document: the
// image is passed over before the reading program is started, and the log says why.
TEST_F(ConversionJob, PathWithADoubleQuoteIsNeverRun) {
    const std::string record = tree.path("args");
    useTemplate("--record=" + record);
    const std::string image = source + "\\say \"cheese\".tif";
    const JobResult result = convert({image, destination + "\\say \"cheese\".orx",
                                      destination + "\\say \"cheese\".bad", destination});
    EXPECT_FALSE(Exists(record));
    EXPECT_EQ(observer.readerEnds, 0);
    EXPECT_EQ(result.outcome, JobOutcome::PassedOver);
    const std::string invalidName = platform::SystemErrorFromWin32(ERROR_INVALID_NAME).message;
    EXPECT_EQ(observer.messages,
              (std::vector<std::string>{
                  image + " cannot be claimed for conversion: " + invalidName + ".",
                  "The failure marker " + destination +
                      "\\say \"cheese\".bad could not be written: " + invalidName + ".",
                  image + " is passed over until the work is started again."}));
}

TEST_F(ConversionJob, FolderWithTheReadOnlyAttributeIsReported) {
    tree.writeFile("in/p.tif");
    const std::wstring folder = platform::ToWide(destination);
    ASSERT_TRUE(::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_READONLY));
    if ((::GetFileAttributesW(folder.c_str()) & FILE_ATTRIBUTE_READONLY) == 0) {
        GTEST_SKIP() << "this file system keeps no read-only attribute on folders";
    }
    ASSERT_TRUE(convertNext());
    EXPECT_EQ(observer.messages, std::vector<std::string>{destination + " is a read only folder."});
}

}  // namespace
}  // namespace quillrun::test
