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
#include "ui/shell/help_viewer.h"

namespace quillrun::ui {
namespace {

class HelpViewerTest : public ::testing::Test {
  protected:
    ~HelpViewerTest() override { CloseHelp(); }
    QDialog m_owner;
};

TEST_F(HelpViewerTest, OpensTheGuideBesideTheExecutableAtItsStart) {
    const QString expected =
        QCoreApplication::applicationDirPath() + QStringLiteral("/Quillrun.html");
    EXPECT_EQ(HelpFilePath(), expected);

    ShowHelp(&m_owner);
    QTextBrowser* viewer = HelpWindow();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->parentWidget(), &m_owner);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_TRUE(viewer->isWindow());
    EXPECT_EQ(viewer->source(), QUrl::fromLocalFile(expected));
    // The build places the guide beside every program it makes, this test included.
    EXPECT_EQ(viewer->documentTitle(), QStringLiteral("Quillrun User Guide"));
    EXPECT_EQ(viewer->verticalScrollBar()->value(), 0);
}

TEST_F(HelpViewerTest, IsOneWindowReusedAndBackAtTheStartEachTime) {
    ShowHelp(&m_owner);
    QTextBrowser* first = HelpWindow();
    QUrl further = first->source();
    further.setFragment(QStringLiteral("statistics"));
    first->setSource(further);
    ASSERT_GT(first->verticalScrollBar()->value(), 0);
    ShowHelp(&m_owner);
    EXPECT_EQ(HelpWindow(), first);
    EXPECT_EQ(first->source().fragment(), QString());
    EXPECT_EQ(first->verticalScrollBar()->value(), 0);
}

TEST_F(HelpViewerTest, AMissingGuideLeavesAPlainNoticeNamingIt) {
    test::TempTree tree;
    const QString missing = QString::fromStdString(tree.path("nowhere/Quillrun.html"));
    ShowHelpFile(&m_owner, missing);
    QTextBrowser* viewer = HelpWindow();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_TRUE(viewer->toPlainText().contains(missing)) << viewer->toPlainText().toStdString();
}

TEST_F(HelpViewerTest, ClosesWithCloseHelpAndWithItsOwner) {
    ShowHelp(&m_owner);
    QPointer<QTextBrowser> viewer = HelpWindow();
    CloseHelp();
    EXPECT_TRUE(viewer.isNull());
    EXPECT_EQ(HelpWindow(), nullptr);
    CloseHelp();  // nothing left to close

    {
        QDialog shortLived;
        ShowHelp(&shortLived);
        viewer = HelpWindow();
        EXPECT_FALSE(viewer.isNull());
    }
    EXPECT_TRUE(viewer.isNull());
    EXPECT_EQ(HelpWindow(), nullptr);
}

}  // namespace
}  // namespace quillrun::ui
