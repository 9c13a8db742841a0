#include <string>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QPointer>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>

#include "support/temp_tree.h"
#include "ui/shell/help_path.h"
#include "ui/shell/help_viewer.h"

namespace quillrun::ui {
namespace {

TEST(HelpPath, IsQuillrunHtmlInTheExecutablesFolderWhateverItIsCalled) {
    struct Case {
        const char* executable;
        const char* help;
    };
    const Case cases[] = {
        {"/opt/tools/quillrun", "/opt/tools/Quillrun.html"},
        {"/opt/tools/Quillrun.exe", "/opt/tools/Quillrun.html"},
        {"/home/ann/bin/renamed-copy", "/home/ann/bin/Quillrun.html"},
        {"/home/ann/my scans/q.bin", "/home/ann/my scans/Quillrun.html"},
        {"/usr/local/bin.d/quillrun", "/usr/local/bin.d/Quillrun.html"},
        {"/quillrun", "/Quillrun.html"},
        {"quillrun", "Quillrun.html"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HelpPathFor(c.executable), c.help) << c.executable;
    }
}

class HelpViewerTest : public ::testing::Test {
  protected:
    ~HelpViewerTest() override { CloseHelp(); }
    QDialog m_owner;
};

TEST_F(HelpViewerTest, OpensTheGuideBesideTheExecutableAtItsStart) {
    const QString expected =
        QCoreApplication::applicationDirPath() + QStringLiteral("/Quillrun.html");
    EXPECT_EQ(HelpFilePath(), expected);

    QTextBrowser* viewer = ShowHelp(&m_owner);
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_TRUE(viewer->isWindow());
    EXPECT_EQ(viewer->source(), QUrl::fromLocalFile(expected));
    // The build places the guide beside every program it makes, this test included.
    EXPECT_EQ(viewer->documentTitle(), QStringLiteral("Quillrun User Guide"));
    EXPECT_EQ(viewer->verticalScrollBar()->value(), 0);
}

TEST_F(HelpViewerTest, IsOneWindowReusedAndBackAtTheStartEachTime) {
    QTextBrowser* first = ShowHelp(&m_owner);
    QUrl further = first->source();
    further.setFragment(QStringLiteral("statistics"));
    first->setSource(further);
    ASSERT_GT(first->verticalScrollBar()->value(), 0);
    QTextBrowser* second = ShowHelp(&m_owner);
    EXPECT_EQ(first, second);
    EXPECT_EQ(second->source().fragment(), QString());
    EXPECT_EQ(second->verticalScrollBar()->value(), 0);
    EXPECT_EQ(HelpWindow(), first);
}

TEST_F(HelpViewerTest, AMissingGuideLeavesAPlainNoticeNamingIt) {
    test::TempTree tree;
    const QString missing = QString::fromStdString(tree.path("nowhere/Quillrun.html"));
    QTextBrowser* viewer = ShowHelpFile(&m_owner, missing);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_TRUE(viewer->toPlainText().contains(missing)) << viewer->toPlainText().toStdString();
}

TEST_F(HelpViewerTest, ClosesWithCloseHelpAndWithItsOwner) {
    QPointer<QTextBrowser> viewer = ShowHelp(&m_owner);
    CloseHelp();
    EXPECT_TRUE(viewer.isNull());
    EXPECT_EQ(HelpWindow(), nullptr);
    CloseHelp();  // nothing left to close

    {
        QDialog shortLived;
        viewer = ShowHelp(&shortLived);
        EXPECT_FALSE(viewer.isNull());
    }
    EXPECT_TRUE(viewer.isNull());
    EXPECT_EQ(HelpWindow(), nullptr);
}

}  // namespace
}  // namespace quillrun::ui
