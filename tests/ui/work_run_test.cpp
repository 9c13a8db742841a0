// The Qt dialog while the reading program works: the progress window over the dialog, and Stop.
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>

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

    click(kOkButton);
    // The work runs on a worker: the dialog's own event loop shows the window meanwhile.
    ui::ReaderProgressWindow* progress = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            progress = dialog.findChild<ui::ReaderProgressWindow*>();
            return progress != nullptr && progress->isVisible();
        },
        60000));
    EXPECT_EQ(QApplication::activeModalWidget(), progress);
    EXPECT_EQ(progress->findChild<QLabel*>("progressHeading")->text(), "Converting");
    const std::string image = progress->findChild<QLabel*>("progressImage")->text().toStdString();
    EXPECT_NE(std::find(m_images.begin(), m_images.end(), image), m_images.end()) << image;
    dialog.close();  // the dialog does not close in the middle of a job
    EXPECT_TRUE(dialog.isVisible());
    progress->findChild<QPushButton*>("progressStopButton")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.behaviour().work().cycleRunning(); }, 60000));

    EXPECT_EQ(dialog.findChild<ui::ReaderProgressWindow*>(), nullptr);
    EXPECT_TRUE(Exists(documentOf(image, "bad")));
    EXPECT_NE(ScreenLog(dialog).find(
                  "The reading program was stopped by the user while converting " + image + "."),
              std::string::npos);
    EXPECT_TRUE(dialog.isVisible());
}

}  // namespace
}  // namespace quillrun::test
