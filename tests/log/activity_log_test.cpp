#include <gtest/gtest.h>

#include "log/activity_log.h"
#include "support/background_process.h"
#include "support/temp_tree.h"

namespace quillrun {
namespace {

using test::TempTree;

class Screen : public LogScreen {
  public:
    void AppendLogText(const std::string& text) override { text_ += text; }
    std::string text_;
};

// Whether text is exactly these messages, each behind a "HH:MM:SS:  " stamp and ended by CR LF.
bool IsStampedLines(const std::string& text, const std::vector<std::string>& messages) {
    std::size_t at = 0;
    for (const std::string& message : messages) {
        const std::string_view stamp = std::string_view(text).substr(at, 11);
        if (stamp.size() != 11 || stamp[2] != ':' || stamp[5] != ':' || stamp.substr(8) != ":  ") {
            return false;
        }
        for (const std::size_t digit : {0, 1, 3, 4, 6, 7}) {
            if (stamp[digit] < '0' || stamp[digit] > '9') {
                return false;
            }
        }
        const std::string rest = message + "\r\n";
        if (text.compare(at + 11, rest.size(), rest) != 0) {
            return false;
        }
        at += 11 + rest.size();
    }
    return at == text.size();
}

TEST(ActivityLog, LineIsStampMessageAndCrLfOnScreenAndInTheFileAlike) {
    TempTree tree;
    Screen screen;
    ActivityLog log(screen);
    const std::string file = tree.path("activity.log");
    log.Write("It contains 1 page.", true, file);
    log.Write("", true, file);
    EXPECT_TRUE(IsStampedLines(screen.text_, {"It contains 1 page.", ""})) << screen.text_;
    EXPECT_EQ(test::ReadFile(file), screen.text_);
}

TEST(ActivityLog, FileIsExtendedNeverTruncatedAndRecreatedWhenDeleted) {
    TempTree tree;
    Screen screen;
    const std::string file = tree.writeFile("activity.log", "earlier run\r\n");
    {
        ActivityLog log(screen);
        log.Write("first", true, file);
    }
    ActivityLog secondRun(screen);
    secondRun.Write("second", true, file);
    const std::string content = test::ReadFile(file);
    EXPECT_EQ(content.rfind("earlier run\r\n", 0), 0u);
    EXPECT_NE(content.find("first\r\n"), std::string::npos);
    EXPECT_NE(content.find("second\r\n"), std::string::npos);

    std::remove(file.c_str());
    secondRun.Write("third", true, file);
    EXPECT_TRUE(IsStampedLines(test::ReadFile(file), {"third"}));
}

TEST(ActivityLog, OnlyLinesWrittenWhileEnabledReachTheFile) {
    TempTree tree;
    Screen screen;
    ActivityLog log(screen);
    const std::string file = tree.path("activity.log");
    log.Write("off", false, file);
    EXPECT_FALSE(test::Exists(file));
    log.Write("on", true, file);
    log.Write("off again", false, file);
    const std::string content = test::ReadFile(file);
    EXPECT_EQ(content.find("off"), std::string::npos);
    EXPECT_NE(content.find("on\r\n"), std::string::npos);
    EXPECT_NE(screen.text_.find("off again\r\n"), std::string::npos);
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = 0; (at = text.find(part, at)) != std::string::npos; ++at) {
        ++count;
    }
    return count;
}

// A log file that can never be opened loses every line of a long run: it is reported like a
// failing write, once, until a line reaches a file again.
TEST(ActivityLog, FileThatCannotBeOpenedIsReportedOnceUntilALineIsWritten) {
    TempTree tree;
    struct Case {
        std::string path;
        const char* reason;
    };
    const Case cases[] = {
        {tree.path("no/such/folder/a.log"), "No such file or directory"},
        {tree.root(), "Is a directory"},
    };
    for (const Case& c : cases) {
        Screen screen;
        ActivityLog log(screen);
        log.Write("one", true, c.path);
        log.Write("two", true, c.path);
        EXPECT_EQ(Count(screen.text_, "could not be written"), 1u) << c.path;
        EXPECT_NE(
            screen.text_.find("The log file " + c.path + " could not be written (" + c.reason +
                              "). Lines are shown here only until it can be "
                              "written again."),
            std::string::npos)
            << screen.text_;
        log.Write("recovered", true, tree.path("good.log"));
        log.Write("three", true, c.path);
        EXPECT_EQ(Count(screen.text_, "could not be written"), 2u) << c.path;
        EXPECT_NE(screen.text_.find("three\r\n"), std::string::npos);
    }
}

TEST(ActivityLog, FailingWritesAreReportedOnScreenOnceUntilAWriteSucceeds) {
    TempTree tree;
    Screen screen;
    ActivityLog log(screen);
    log.Write("one", true, "/dev/full");
    log.Write("two", true, "/dev/full");
    const auto notices = [&] { return Count(screen.text_, "could not be written"); };
    EXPECT_EQ(notices(), 1u);
    EXPECT_NE(
        screen.text_.find("The log file /dev/full could not be written (No space left on device)"),
        std::string::npos)
        << screen.text_;
    EXPECT_NE(screen.text_.find("two\r\n"), std::string::npos);

    log.Write("recovered", true, tree.path("good.log"));
    log.Write("three", true, "/dev/full");
    EXPECT_EQ(notices(), 2u);
}

TEST(ActivityLog, WriterHoldingTheLockMakesTheLineStayOnScreenOnly) {
    TempTree tree;
    Screen screen;
    ActivityLog log(screen);
    const std::string file = tree.writeFile("activity.log", "");
    {
        test::BackgroundProcess locker(
            {SCRIPTED_READER_PATH, "--lock", file, tree.path("ready"), tree.path("release")});
        ASSERT_TRUE(test::WaitUntil([&] { return test::Exists(tree.path("ready")); }));
        log.Write("while locked", true, file);
        test::WriteFile(tree.path("release"), "", false);
        locker.wait();
    }
    log.Write("after", true, file);
    const std::string content = test::ReadFile(file);
    EXPECT_EQ(content.find("while locked"), std::string::npos);
    EXPECT_NE(content.find("after\r\n"), std::string::npos);
    EXPECT_NE(screen.text_.find("while locked\r\n"), std::string::npos);
    // Another writer holds the file only for a moment: that is no failure to report.
    EXPECT_EQ(screen.text_.find("could not be written"), std::string::npos);
}

}  // namespace
}  // namespace quillrun
