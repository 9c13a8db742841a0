// How the main dialog is laid out and reached: template 102 in pixels, the tab order, the
// mnemonics, the tooltips and the dialog's menu.
#include <functional>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHelpEvent>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include "dialog_test_fixture.h"
#include "resources/main_dialog_template.h"
#include "resources/string_table.h"
#include "ui/shell/dialog_units.h"
#include "ui/tool_tip_text.h"

namespace quillrun::test {
namespace {

using res::style::kTabStop;

TEST(DialogUnits, ConvertCornersAsTheOriginalPlatformDoes) {
    // The base units of the original dialog font at 96 dots per inch.
    const ui::DialogBaseUnits units{6, 13};
    EXPECT_EQ(ui::MapDialogRect(units, 0, 0, 344, 247), QRect(0, 0, 516, 401));
    // Corners round half away from zero: 19.5 -> 20, 45.5 -> 46.
    EXPECT_EQ(ui::MapDialogRect(units, 13, 15, 183, 13), QRect(20, 24, 274, 22));
}

TEST_F(DialogTest, ControlsSitWhereTheTemplatePutsThemInTheDialogsFont) {
    ui::CQuillrunDlg& dialog = openDialog();
    const ui::DialogBaseUnits units = ui::MeasureDialogFont(dialog.font());
    const res::DialogTemplate& layout = res::kMainDialog;
    EXPECT_EQ(dialog.size(), ui::MapDialogRect(units, 0, 0, layout.width, layout.height).size());
    for (const res::TemplateControl& entry : layout.controls) {
        const auto* widget = dialog.findChild<QWidget*>(entry.objectName);
        ASSERT_NE(widget, nullptr) << entry.objectName;
        // A caption wider than its control in this font widens it, away from its aligned edge.
        const QRect placed = ui::MapDialogRect(units, entry.x, entry.y, entry.width, entry.height);
        const QRect actual = widget->geometry();
        const bool rightAligned =
            entry.controlClass == res::ControlClass::Static &&
            (entry.style & res::style::kStaticTypeMask) == res::style::kStaticRight;
        EXPECT_EQ(actual.top(), placed.top()) << entry.objectName;
        EXPECT_EQ(actual.height(), placed.height()) << entry.objectName;
        EXPECT_EQ(rightAligned ? actual.right() : actual.left(),
                  rightAligned ? placed.right() : placed.left())
            << entry.objectName;
        EXPECT_GE(actual.width(), placed.width()) << entry.objectName;
        if (actual.width() > placed.width()) {
            EXPECT_LE(actual.width(), widget->sizeHint().width()) << entry.objectName;
        }
    }
}

TEST_F(DialogTest, TabVisitsTheTabStopsInTemplateOrder) {
    showDialog();
    std::vector<int> expected;
    for (const res::TemplateControl& entry : res::kMainDialog.controls) {
        // Statistics is disabled until pages have been recorded, so Tab passes it by.
        if ((entry.style & kTabStop) != 0 && entry.id != kStatisticsButton) {
            expected.push_back(entry.id);
        }
    }
    ASSERT_EQ(QApplication::focusWidget(), control(kSourcePathEdit));
    std::vector<int> visited;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        visited.push_back(QApplication::focusWidget()->property("controlId").toInt());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(visited, expected);
    EXPECT_EQ(QApplication::focusWidget(), control(kSourcePathEdit)) << "Tab wraps round";
}

TEST_F(DialogTest, MnemonicsMoveToTheFieldsTheyName) {
    ui::CQuillrunDlg& dialog = showDialog();
    const struct {
        Qt::Key key;
        int focused;
    } mnemonics[] = {
        {Qt::Key_D, kDestPathEdit}, {Qt::Key_S, kSourcePathEdit},   {Qt::Key_C, kCommandArgsEdit},
        {Qt::Key_T, kStatusEdit},   {Qt::Key_A, kActivityLogEdit},  {Qt::Key_U, kUserEdit},
        {Qt::Key_P, kPasswordEdit}, {Qt::Key_L, kLogActivityCheck},
    };
    for (const auto& mnemonic : mnemonics) {
        QTest::keyClick(&dialog, mnemonic.key, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), control(mnemonic.focused)) << mnemonic.focused;
    }
    // The check box's own mnemonic also clicks it, a moment later, as a button shows its press.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !button(kLogActivityCheck)->isChecked(); }));
    EXPECT_FALSE(dialog.behaviour().settings().writeLog);
}

TEST_F(DialogTest, ControlsWithAStringExplainThemselvesWrappedAt300Pixels) {
    ui::CQuillrunDlg& dialog = showDialog();
    for (const res::TemplateControl& entry : res::kMainDialog.controls) {
        SCOPED_TRACE(entry.objectName);
        QWidget* widget = dialog.findChild<QWidget*>(entry.objectName);
        const QPoint centre = widget->rect().center();
        QHelpEvent request(QEvent::ToolTip, centre, widget->mapToGlobal(centre));
        QApplication::sendEvent(widget, &request);
        const std::string text = entry.id > 0 ? res::LoadString(entry.id) : std::string();
        if (text.empty()) {
            EXPECT_FALSE(QToolTip::isVisible());
            continue;
        }
        ASSERT_TRUE(QToolTip::isVisible());
        EXPECT_EQ(QToolTip::text(),
                  ui::WrapToolTipText(QString::fromLatin1(text), QFontMetrics(QToolTip::font()),
                                      ui::kToolTipMaxWidth));
        // A tip fades out rather than vanish at once.
        QToolTip::hideText();
        ASSERT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
    }
    const std::vector<int> explained = {1, 2, 1000, 1001, 1002, 1003, 1007, 1008, 1009, 1010, 1012};
    for (const int id : explained) {
        EXPECT_FALSE(res::LoadString(id).empty()) << id;
    }
    for (const int id : {1005, 1006, 1013, 1015, 57670}) {
        EXPECT_TRUE(res::LoadString(id).empty()) << id;
    }
}

TEST(ToolTipWrapping, LinesStayWithinTheWidthAndNoWordIsLost) {
    const QFontMetrics metrics(QToolTip::font());
    const QString texts[] = {
        QString::fromLatin1(res::LoadString(1007)),
        QString::fromLatin1(res::LoadString(1002)),
        QStringLiteral("short"),
        QString(200, QLatin1Char('x')) + QStringLiteral(" tail"),
        QStringLiteral("ends with blanks   \nnext"),
    };
    for (const QString& text : texts) {
        const QString wrapped = ui::WrapToolTipText(text, metrics, ui::kToolTipMaxWidth);
        for (const QString& line : wrapped.split('\n')) {
            EXPECT_LE(metrics.horizontalAdvance(line.trimmed()), ui::kToolTipMaxWidth) << line;
        }
        QString words = text, wrappedWords = wrapped;
        words.remove(' ').remove('\n');
        wrappedWords.remove(' ').remove('\n');
        EXPECT_EQ(wrappedWords, words);
        EXPECT_GE(wrapped.count('\n'), text.count('\n'));
    }
    EXPECT_EQ(ui::WrapToolTipText("a\n\nb", metrics, ui::kToolTipMaxWidth), "a\n\nb");
}

// Runs call and returns the titles of the modal windows it opened, each closed as soon as it is up.
QStringList ModalWindowsOpenedBy(QWidget& dialog, const std::function<void()>& call) {
    QStringList titles;
    QTimer closer;
    closer.setInterval(0);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal != &dialog) {
            titles << modal->windowTitle();
            modal->close();
        }
    });
    closer.start();
    call();
    QCoreApplication::processEvents();
    return titles;
}

// The window manager's menu cannot be extended, so the dialog's background offers the same.
TEST_F(DialogTest, TheDialogsMenuEndsWithAboutAndRoutesItsCommands) {
    ui::CQuillrunDlg& dialog = showDialog();
    QMenu* menu = dialog.systemMenu();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    ASSERT_GE(actions.size(), 2);
    EXPECT_TRUE(actions.at(actions.size() - 2)->isSeparator());
    EXPECT_EQ(actions.back()->text(), "&About Quillrun...");
    EXPECT_EQ(actions.back()->data().toUInt(), 16u);

    const auto opensMenu = [&](auto&& open) {
        open();
        const bool shown = menu->isVisible();
        menu->hide();
        return shown;
    };
    const QPoint background(dialog.width() - 4, dialog.height() - 4);
    EXPECT_TRUE(opensMenu([&] {
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, background,
                                     dialog.mapToGlobal(background));
        QApplication::sendEvent(&dialog, &rightClick);
    }));
    EXPECT_TRUE(opensMenu([&] {
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(0, 0),
                                  dialog.mapToGlobal(QPoint(0, 0)));
        QApplication::sendEvent(&dialog, &menuKey);
    }));
    EXPECT_TRUE(opensMenu([&] { QTest::keyClick(&dialog, Qt::Key_F10, Qt::ShiftModifier); }));

    EXPECT_EQ(ModalWindowsOpenedBy(dialog, [&] { actions.back()->trigger(); }),
              QStringList{"About Quillrun"});

    // Only the command's upper bits count, as with the window's own menu.
    const struct {
        unsigned nID;
        bool opensAbout;
    } commands[] = {
        {0x0010, true}, {0x0013, true}, {0x001F, true}, {0x0020, false}, {0x0000, false}};
    for (const auto& command : commands) {
        const QStringList opened =
            ModalWindowsOpenedBy(dialog, [&] { dialog.OnSysCommand(command.nID); });
        EXPECT_EQ(opened.size(), command.opensAbout ? 1 : 0) << command.nID;
        EXPECT_TRUE(dialog.isVisible());
    }
    dialog.OnSysCommand(0xF063);
    EXPECT_FALSE(dialog.isVisible()) << "Close ends the dialog";
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

// What a user would see as clipped: a text that does not fit the control the template gives it.
TEST_F(DialogTest, EveryCaptionFitsItsControl) {
    ui::CQuillrunDlg& dialog = openDialog();
    for (const res::TemplateControl& entry : res::kMainDialog.controls) {
        QWidget* widget = dialog.findChild<QWidget*>(entry.objectName);
        if (qobject_cast<QGroupBox*>(widget) != nullptr || qobject_cast<QLineEdit*>(widget) ||
            QString::fromLatin1(entry.text).isEmpty()) {
            continue;
        }
        // A push button's own size hint asks for a minimum width; its text is what must fit.
        const QString caption = QString::fromLatin1(entry.text).remove('&');
        const int needed = qobject_cast<QPushButton*>(widget) != nullptr
                               ? widget->fontMetrics().horizontalAdvance(caption) + 8
                               : widget->sizeHint().width();
        EXPECT_LE(needed, widget->width()) << entry.objectName;
        EXPECT_LE(widget->fontMetrics().height(), widget->height()) << entry.objectName;
    }
}

}  // namespace
}  // namespace quillrun::test
