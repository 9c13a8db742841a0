// The Qt dialog while the reading program works: the progress window over the dialog, and Stop.
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "dialog_test_fixture.h"
#include "ui/reader_progress_window.h"

namespace quillrun::test {
namespace {

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
    const std::string image = dialog.engine().currentImage();
    EXPECT_EQ(seen.image.toStdString(), image);
    EXPECT_EQ(dialog.findChild<ui::ReaderProgressWindow*>(), nullptr);
    EXPECT_TRUE(Exists(documentOf(image, "bad")));
    EXPECT_NE(ScreenLog(dialog).find(
                  "The reading program was stopped by the user while converting " + image + "."),
              std::string::npos);
    EXPECT_TRUE(dialog.isVisible());
}

}  // namespace
}  // namespace quillrun::test
