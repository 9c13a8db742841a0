#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "ui/shell/about_dlg.h"
#include "ui/shell/application_icon.h"

namespace quillrun::ui {
namespace {

TEST(AboutDlg, ShowsTheIconTheVersionAndANoticeAndClosesOnOkAndEsc) {
    CAboutDlg about;
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Quillrun"));

    auto* version = about.findChild<QLabel*>(QStringLiteral("versionLabel"));
    auto* notice = about.findChild<QLabel*>(QStringLiteral("noticeLabel"));
    auto* icon = about.findChild<QLabel*>(QStringLiteral("aboutIcon"));
    auto* ok = about.findChild<QPushButton*>(QStringLiteral("okButton"));
    ASSERT_TRUE(version && notice && icon && ok);
    EXPECT_EQ(version->text(), QStringLiteral("Quillrun Version 1.0"));
    EXPECT_FALSE(notice->text().isEmpty());
    // Both lines fit their places in the template's font.
    EXPECT_LE(version->fontMetrics().horizontalAdvance(version->text()), version->width());
    EXPECT_LE(notice->fontMetrics().horizontalAdvance(notice->text()), notice->width());
    EXPECT_FALSE(icon->pixmap().isNull());
    EXPECT_EQ(icon->pixmap().deviceIndependentSize().toSize(), QSize(32, 32));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_TRUE(about.geometry().contains(about.mapToParent(ok->geometry().bottomRight())));

    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());

    about.show();
    QTest::keyClick(&about, Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Rejected);
}

TEST(ApplicationIcon, HoldsEveryPictureOfTheIconGroup) {
    const QIcon icon = ApplicationIcon();
    ASSERT_FALSE(icon.isNull());
    for (const int size : {16, 32, 48, 256}) {
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
    }
    EXPECT_STREQ(ProgramVersion(), "22.0.0.0");
}

}  // namespace
}  // namespace quillrun::ui
