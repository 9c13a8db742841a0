// The main dialog in Qt: what the behaviour sets reaches the widgets, and the user's clicks, keys
// and typing reach the behaviour. The behaviour itself is tested without a toolkit (tests/app).
#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>

#include "dialog_test_fixture.h"
#include "resources/browse_dialogs.h"
#include "settings/settings_check.h"
#include "ui/file_dialogs.h"
#include "ui/message_box.h"
#include "ui/shell/help_viewer.h"

namespace quillrun::test {
namespace {

TEST_F(DialogTest, FirstStartShowsTheDefaultsAndAsksForALogFile) {
    ui::CQuillrunDlg& dialog = openDialog();

    EXPECT_EQ(dialog.windowTitle(), "Quillrun");
    EXPECT_FALSE(dialog.windowIcon().isNull());
    EXPECT_FALSE(dialog.windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    for (const int id : {kSourcePathEdit, kDestPathEdit, kUserEdit, kPasswordEdit, kLogPathEdit}) {
        EXPECT_EQ(field(id)->text(), "") << id;
    }
    EXPECT_EQ(field(kCommandArgsEdit)->text(), "-in:^S -out:^D -nomessage -x");
    EXPECT_TRUE(button(kLogActivityCheck)->isChecked());
    EXPECT_TRUE(control(kLogPathEdit)->isEnabled());
    EXPECT_TRUE(control(kLogBrowseButton)->isEnabled());
    EXPECT_FALSE(control(kStatisticsButton)->isEnabled());
    EXPECT_EQ(field(kStatusEdit)->text(), "Please check the settings and press OK");
    EXPECT_TRUE(field(kStatusEdit)->isReadOnly());
    EXPECT_EQ(dialog.behaviour().settings().commandArgs, "-in:^S -out:^D -nomessage -x");
    EXPECT_TRUE(dialog.behaviour().settings().writeLog);

    setField(kSourcePathEdit, m_tree.makeFolder("scans"));
    setField(kDestPathEdit, m_tree.makeFolder("documents"));
    click(kOkButton);
    EXPECT_EQ(m_messages, QStringList{kNoLogPathMessage});
    EXPECT_FALSE(dialog.behaviour().work().running());
    EXPECT_FALSE(Exists(userHive())) << "a first start writes no settings";
}

TEST_F(DialogTest, TheLogBoxEnablesTheLogFileControlsAndKeepsTheirText) {
    ui::CQuillrunDlg& dialog = openDialog();
    setField(kLogPathEdit, "/var/log/quillrun.log");
    for (const bool ticked : {false, true, false}) {
        click(kLogActivityCheck);
        EXPECT_EQ(button(kLogActivityCheck)->isChecked(), ticked);
        EXPECT_EQ(dialog.behaviour().settings().writeLog, ticked);
        EXPECT_EQ(control(kLogPathEdit)->isEnabled(), ticked);
        EXPECT_EQ(control(kLogBrowseButton)->isEnabled(), ticked);
        EXPECT_EQ(field(kLogPathEdit)->text(), "/var/log/quillrun.log");
        EXPECT_EQ(dialog.behaviour().settings().logPath, "/var/log/quillrun.log");
    }
    // With the box cleared, no log file is needed.
    setField(kSourcePathEdit, m_tree.makeFolder("scans"));
    setField(kDestPathEdit, m_tree.makeFolder("documents"));
    setField(kLogPathEdit, "");
    click(kOkButton);
    EXPECT_TRUE(m_messages.isEmpty());
    EXPECT_TRUE(dialog.behaviour().work().running());
}

// Bytes that are not text in the system's encoding must come back from the field unchanged, or
// the next save would store a different path than the one the user had.
TEST_F(DialogTest, FieldsCarryTheSystemsBytesBothWays) {
    const std::string undecodable = "/srv/scans-\xff\xfe";
    writeUserSettings("\"sourcePath\"=" + HexText(undecodable));
    ui::CQuillrunDlg& dialog = openDialog();
    EXPECT_EQ(dialog.behaviour().settings().sourcePath, undecodable);
    EXPECT_TRUE(field(kSourcePathEdit)->text().startsWith("/srv/scans-"));

    QTest::keyClicks(field(kUserEdit), QStringLiteral("Zo"));
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("ë"));
    QApplication::sendEvent(field(kUserEdit), &typed);
    EXPECT_EQ(dialog.behaviour().settings().user, "Zo\xc3\xab");
    QTest::keyClicks(field(kPasswordEdit), QStringLiteral("abc"));
    EXPECT_EQ(dialog.behaviour().settings().password, "abc");
    EXPECT_EQ(field(kPasswordEdit)->displayText(), "***");

    // Editing the field does replace the bytes with what the field now shows.
    QTest::keyClick(field(kSourcePathEdit), Qt::Key_Backspace);
    EXPECT_EQ(QString::fromLocal8Bit(dialog.behaviour().settings().sourcePath),
              field(kSourcePathEdit)->text());
}

TEST_F(DialogTest, CancelSavesOnlyAfterAnAcceptedOk) {
    const std::string before = "\"user\"=\"ann\"";
    enum class Way { Button, Escape, CloseBox };
    for (const bool accepted : {false, true}) {
        for (const Way way : {Way::Button, Way::Escape, Way::CloseBox}) {
            SCOPED_TRACE(testing::Message()
                         << "accepted " << accepted << ", way " << static_cast<int>(way));
            writeUserSettings(before);
            const std::string stored = ReadFile(userHive());
            ui::CQuillrunDlg& dialog = showDialog();
            fillValidSettings();
            if (accepted) {
                click(kOkButton);
            }
            // Edited while working: saved with the rest.
            setField(kUserEdit, "bob");
            switch (way) {
                case Way::Button:
                    click(kCancelButton);
                    break;
                case Way::Escape:
                    QTest::keyClick(&dialog, Qt::Key_Escape);
                    break;
                case Way::CloseBox:
                    dialog.close();
                    break;
            }
            EXPECT_FALSE(dialog.isVisible());
            EXPECT_EQ(dialog.result(), QDialog::Rejected);
            if (!accepted) {
                EXPECT_EQ(ReadFile(userHive()), stored);
                continue;
            }
            auto values = storedSettings();
            std::sort(values.begin(), values.end());
            std::vector<std::pair<std::string, std::string>> expected{
                {"sourcePath", m_tree.path("scans")},
                {"destPath", m_tree.path("documents")},
                {"OrlavexArgs", "-in:^S -out:^D -nomessage -x"},
                {"logPath", m_tree.path("activity.log")},
                {"user", "bob"},
                {"epwd", ""},
                {"writeLog", std::string("\x01\x00\x00\x00", 4)},
            };
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(values, expected);
        }
    }
}

TEST_F(DialogTest, BrowseFillsFieldAndMemberAndCancelChangesNothing) {
    ui::CQuillrunDlg& dialog = openDialog();
    setField(kSourcePathEdit, "typed");
    setField(kDestPathEdit, "typed");
    setField(kLogPathEdit, "typed");
    const struct {
        int buttonId;
        int fieldId;
        std::string Settings::*member;
        const char* title;
        bool folder;
    } browsers[] = {
        {kSourceBrowseButton, kSourcePathEdit, &Settings::sourcePath, res::kSourceBrowseTitle,
         true},
        {kDestBrowseButton, kDestPathEdit, &Settings::destPath, res::kDestinationBrowseTitle, true},
        {kLogBrowseButton, kLogPathEdit, &Settings::logPath, "", false},
    };
    for (const auto& browser : browsers) {
        ui::FileDialogs::SetNextAnswer("");
        click(browser.buttonId);
        EXPECT_EQ(field(browser.fieldId)->text(), "typed");
        EXPECT_EQ(dialog.behaviour().settings().*browser.member, "typed");
        const ui::FileDialogs::Request request = ui::FileDialogs::LastRequest();
        EXPECT_EQ(request.folder, browser.folder);
        if (browser.folder) {
            EXPECT_EQ(request.title, browser.title);
        } else {
            EXPECT_EQ(request.nameFilters,
                      (QStringList{"Text Files (*.log *.txt)", "All Files (*)"}));
        }

        const std::string chosen = m_tree.path("chosen \xc3\xa9");
        ui::FileDialogs::SetNextAnswer(QString::fromLocal8Bit(chosen));
        click(browser.buttonId);
        EXPECT_EQ(field(browser.fieldId)->text(), QString::fromLocal8Bit(chosen));
        EXPECT_EQ(dialog.behaviour().settings().*browser.member, chosen);
    }
}

TEST_F(DialogTest, TheLogFileDialogAcceptsANameThatDoesNotExistYet) {
    openDialog();
    const auto chooser = ui::FileDialogs::CreateLogFileDialog(m_dialog.get());
    EXPECT_EQ(chooser->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(chooser->fileMode(), QFileDialog::AnyFile);
    EXPECT_EQ(chooser->nameFilters(), (QStringList{"Text Files (*.log *.txt)", "All Files (*)"}));
    EXPECT_EQ(chooser->selectedNameFilter(), "Text Files (*.log *.txt)");
}

TEST_F(DialogTest, MessageBoxesHaveOneOkButtonAndTheApplicationsName) {
    openDialog();
    const auto box = ui::MessageBox::Create(m_dialog.get(), "text");
    EXPECT_EQ(box->windowTitle(), QCoreApplication::applicationName());
    EXPECT_EQ(box->buttons().size(), 1);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(box->text(), "text");
    EXPECT_EQ(box->parentWidget(), m_dialog.get());
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
}

TEST_F(DialogTest, TheActivityLogAppendsAtTheEndAndKeepsItInView) {
    ui::CQuillrunDlg& dialog = showDialog();
    auto* log = qobject_cast<QPlainTextEdit*>(control(kActivityLogEdit));
    EXPECT_TRUE(log->isReadOnly());
    EXPECT_EQ(log->lineWrapMode(), QPlainTextEdit::NoWrap);
    static_cast<app::MainDialogView&>(dialog).AppendLogText("first line\r\n");
    // The user selects the first line; the next lines still go to the end.
    QTextCursor selection = log->textCursor();
    selection.movePosition(QTextCursor::Start);
    selection.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
    log->setTextCursor(selection);
    for (int i = 0; i < 100; ++i) {
        static_cast<app::MainDialogView&>(dialog).AppendLogText("line " + std::to_string(i) +
                                                                "\r\n");
    }
    EXPECT_TRUE(log->toPlainText().startsWith("first line\nline 0\nline 1\n"));
    EXPECT_TRUE(log->toPlainText().endsWith("line 99\n"));
    EXPECT_FALSE(log->toPlainText().contains('\r'));
    EXPECT_GT(log->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(log->verticalScrollBar()->value(), log->verticalScrollBar()->maximum());
}

// A month of a failing image is half a million lines: the screen keeps the newest ones only.
TEST_F(DialogTest, TheActivityLogKeepsTheNewestLines) {
    auto& view = static_cast<app::MainDialogView&>(openDialog());
    auto* log = qobject_cast<QPlainTextEdit*>(control(kActivityLogEdit));
    std::string lines;
    for (int i = 0; i < app::kActivityLogScreenLines; ++i) {
        lines += "line " + std::to_string(i) + "\r\n";
    }
    view.AppendLogText(lines);
    view.AppendLogText("newest\r\n");
    const QString shown = log->toPlainText();
    EXPECT_TRUE(shown.startsWith("line 1\nline 2\n"));
    EXPECT_TRUE(shown.endsWith(QString("line %1\nnewest\n").arg(app::kActivityLogScreenLines - 1)));
}

// Help comes from the button and from F1 anywhere in the dialog, in a window that does not block
// it, and goes when the dialog closes.
TEST_F(DialogTest, HelpOpensBesideTheDialogAndClosesWithIt) {
    ui::CQuillrunDlg& dialog = showDialog();
    click(kHelpButton);
    ASSERT_NE(ui::HelpWindow(), nullptr);
    EXPECT_TRUE(ui::HelpWindow()->isVisible());
    EXPECT_FALSE(ui::HelpWindow()->isModal());
    ui::HelpWindow()->hide();

    field(kCommandArgsEdit)->setFocus();
    QTest::keyClick(field(kCommandArgsEdit), Qt::Key_F1);
    EXPECT_TRUE(ui::HelpWindow()->isVisible());

    click(kCancelButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(ui::HelpWindow() == nullptr || !ui::HelpWindow()->isVisible());
}

}  // namespace
}  // namespace quillrun::test
