// The dialog driving real work: the scripted reading program registered as the reading program,
// real images in a temporary tree, OK pressed and the timer's ticks delivered by hand.
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "dialog_test_fixture.h"
#include "engine/page_stats.h"
#include "ui/reader_progress_window.h"

namespace quillrun::test {
namespace {

bool Contains(const std::vector<std::string>& arguments, const std::string& argument) {
    return std::find(arguments.begin(), arguments.end(), argument) != arguments.end();
}

std::string ScreenLog(ui::CQuillrunDlg& dialog) {
    const auto* log = qobject_cast<QPlainTextEdit*>(dialog.control(kActivityLogEdit));
    return log->toPlainText().toStdString();
}

class WorkRunTest : public DialogTest {
  protected:
    WorkRunTest() {
        m_images = {m_tree.writeFile("scans/a/one.tif"), m_tree.writeFile("scans/a/two.pdf"),
                    m_tree.writeFile("scans/b/three.tif")};
        m_tree.makeFolder("documents");
        m_tree.makeFolder("logs");
    }

    std::string documentOf(const std::string& image, const char* extension) const {
        const std::string relative = image.substr(m_tree.path("scans").size());
        return m_tree.path("documents") + relative.substr(0, relative.size() - 3) + extension;
    }

    std::vector<std::string> m_images;
};

TEST_F(WorkRunTest, ConvertsTheTreeAndTakesEditsMadeWhileWorking) {
    ui::CQuillrunDlg& dialog = showDialog();
    setField(kSourcePathEdit, m_tree.path("scans"));
    setField(kDestPathEdit, m_tree.path("documents"));
    const std::string logFile = m_tree.path("logs/activity.log");
    setField(kLogPathEdit, logFile);
    // Two pages, the second poorly recognised.
    setField(kCommandArgsEdit, "-in:^S -out:^D \"--stats=600, 6, 9, 0, 0|500, 40, 30, 0, 0\" -x");

    click(kOkButton);  // the first image is converted before OK returns
    EXPECT_TRUE(m_messages.isEmpty());
    EXPECT_TRUE(control(kStatisticsButton)->isEnabled());
    dialog.OnTimer();  // releases the first document and converts the second

    // Edited while working: the next job takes them.
    const std::string record = m_tree.path("arguments");
    setField(kCommandArgsEdit, "-in:^S -out:^D --no-doc --record=" + record);
    setField(kUserEdit, "night");
    setField(kPasswordEdit, "s3cret");
    dialog.OnTimer();
    const std::string thirdImage = dialog.engine().m_currentImage;
    const std::vector<std::string> arguments = RecordedArguments(record);
    EXPECT_TRUE(Contains(arguments, "-user:night"));
    EXPECT_TRUE(Contains(arguments, "-pwd:s3cret"));
    EXPECT_TRUE(Contains(arguments, "-in:" + thirdImage));

    dialog.OnTimer();
    EXPECT_EQ(field(kStatusEdit)->text(), "Waiting for work");

    for (const std::string& image : m_images) {
        const bool failed = image == thirdImage;
        EXPECT_EQ(Exists(documentOf(image, "orx")), !failed) << image;
        EXPECT_EQ(Exists(documentOf(image, "bad")), failed) << image;
        EXPECT_FALSE(Exists(documentOf(image, "dat"))) << "statistics are harvested";
    }
    EXPECT_EQ(g_pageStats.size(), 4u);

    const std::string screen = ScreenLog(dialog);
    const std::string file = ReadFile(logFile);
    for (const std::string& image : m_images) {
        const std::string line = image == thirdImage
                                     ? "Warning! - no ORX file was created for " + image + "."
                                     : documentOf(image, "orx") + " has been created.";
        EXPECT_NE(screen.find(line + "\n"), std::string::npos) << line;
        EXPECT_NE(file.find(line + "\r\n"), std::string::npos) << line;
    }
    for (const std::string summary :
         {"It contains 2 pages.", "1 page may have been poorly recognized."}) {
        EXPECT_NE(screen.find(summary), std::string::npos) << summary;
        EXPECT_NE(file.find(summary), std::string::npos) << summary;
    }
}

// The progress window stands over the dialog while the reading program runs; Stop ends the
// program and the job goes on as after any run without a document.
TEST_F(WorkRunTest, StopEndsAReadingProgramThatDoesNotComeBack) {
    ui::CQuillrunDlg& dialog = showDialog();
    setField(kSourcePathEdit, m_tree.path("scans"));
    setField(kDestPathEdit, m_tree.path("documents"));
    click(kLogActivityCheck);
    setField(kCommandArgsEdit, "-in:^S -out:^D --sleep-forever");

    struct Seen {
        bool window = false;
        bool modal = false;
        QString heading, image;
        bool dialogStayedOpen = false;
    } seen;
    // Runs inside the job's wait, once the progress window is up.
    std::function<void()> pressStop = [&] {
        auto* progress = dialog.findChild<ui::ReaderProgressWindow*>();
        if (progress == nullptr || !progress->isVisible()) {
            QTimer::singleShot(10, pressStop);
            return;
        }
        seen.window = true;
        seen.modal = QApplication::activeModalWidget() == progress;
        seen.heading = progress->findChild<QLabel*>("progressHeading")->text();
        seen.image = progress->findChild<QLabel*>("progressImage")->text();
        dialog.close();  // nothing of the dialog runs in the middle of a job
        seen.dialogStayedOpen = dialog.isVisible();
        progress->findChild<QPushButton*>("progressStopButton")->click();
    };
    QTimer::singleShot(0, pressStop);
    click(kOkButton);

    EXPECT_TRUE(seen.window);
    EXPECT_TRUE(seen.modal);
    EXPECT_TRUE(seen.dialogStayedOpen);
    EXPECT_EQ(seen.heading, "Converting");
    const std::string image = dialog.engine().m_currentImage;
    EXPECT_EQ(seen.image.toStdString(), image);
    EXPECT_EQ(dialog.findChild<ui::ReaderProgressWindow*>(), nullptr);
    EXPECT_TRUE(Exists(documentOf(image, "bad")));
    EXPECT_NE(ScreenLog(dialog).find("Warning! - no ORX file was created for " + image + "."),
              std::string::npos);
    EXPECT_TRUE(dialog.isVisible());
}

TEST(ElapsedTime, ReadsAsMinutesAndSeconds) {
    using std::chrono::milliseconds;
    EXPECT_EQ(ui::FormatElapsed(milliseconds(7'900)), "0:07");
    EXPECT_EQ(ui::FormatElapsed(milliseconds(754'000)), "12:34");
    EXPECT_EQ(ui::FormatElapsed(milliseconds(3'723'000)), "1:02:03");
}

}  // namespace
}  // namespace quillrun::test
