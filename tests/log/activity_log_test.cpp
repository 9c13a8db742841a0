#include "log/activity_log_test.h"
#include "support/background_process.h"

namespace quillrun {
namespace {

using test::TempTree;

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

// A file name cannot forge a line of its own, nor reach a terminal as a command.
TEST(ActivityLog, ControlCharactersInAMessageAreShownEscaped) {
    const struct {
        std::string message, shown;
    } cases[] = {
        {"x\r\n07:09:59:  Quillrun service stopped.",
         "x\\r\\n07:09:59:  Quillrun service stopped."},
        {"tab\tbell\a\x1b[2Jdel\x7f", "tab\\tbell\\x07\\x1b[2Jdel\\x7f"},
        {"csi \xc2\x9b and \xc3\xa9 \xce\xb1 C:\\scans\\a.tif",
         "csi \\u009b and \xc3\xa9 \xce\xb1 C:\\scans\\a.tif"},
    };
    for (const auto& c : cases) {
        Screen screen;
        ActivityLog(screen).Write(c.message, false, "");
        EXPECT_TRUE(IsStampedLines(screen.text_, {c.shown})) << screen.text_;
    }
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

    test::RemovePath(file);
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

// A log file that can never be opened loses every line of a long run: it is reported like a
// failing write, once, until a line reaches a file again.
TEST(ActivityLog, FileThatCannotBeOpenedIsReportedOnceUntilALineIsWritten) {
    TempTree tree;
    for (const UnopenableLog& c : UnopenableLogs(tree)) {
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

// A line that finds the file locked by another writer for too long is kept, and reaches the file
// before the next line, in order; a line kept when the work ends is written then.
TEST(ActivityLog, LineThatFindsTheFileLockedIsWrittenWithTheNextOne) {
    TempTree tree;
    const std::string file = tree.writeFile("activity.log", "");
    for (const bool nextLine : {true, false}) {
        test::RemovePath(tree.path("ready"));
        test::RemovePath(tree.path("release"));
        Screen screen;
        ActivityLog log(screen);
        log.Write("before", true, file);
        {
            test::BackgroundProcess locker(
                {SCRIPTED_READER_PATH, "--lock", file, tree.path("ready"), tree.path("release")});
            ASSERT_TRUE(test::WaitUntil([&] { return test::Exists(tree.path("ready")); }));
            log.Write("while locked", true, file);
            EXPECT_FALSE(test::ReadFile(file).ends_with("while locked\r\n"));
            test::WriteFile(tree.path("release"), "", false);
            locker.wait();
        }
        if (nextLine) {
            log.Write("after", true, file);
        } else {
            log.Flush();
        }
        const std::string content = test::ReadFile(file);
        EXPECT_TRUE(content.ends_with(screen.text_)) << content;
        // Another writer holds the file only for a moment: that is no failure to report.
        EXPECT_EQ(screen.text_.find("could not be written"), std::string::npos);
    }
}

}  // namespace
}  // namespace quillrun
