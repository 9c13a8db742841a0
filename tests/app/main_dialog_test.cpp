// The main dialog's behaviour without a toolkit: what a first start shows, the checks before the
// work starts, the locking once it has started, what reaches the user's settings when the dialog
// closes, the Browse buttons, the system menu, and a whole run with the scripted reading program.
#include "app/main_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "hive/hive.h"
#include "recording_view.h"
#include "registration/reader_registration.h"
#include "resources/browse_dialogs.h"
#include "resources/resource_ids.h"
#include "settings/settings_check.h"
#include "settings/settings_environment.h"
#include "settings/settings_store.h"

namespace quillrun::test {
namespace {

class MainDialogTest : public SettingsEnvironment {
  protected:
    MainDialogTest() {
        EXPECT_TRUE(hive::WriteMachineDefaultValue(kReaderRegistrationKey, SCRIPTED_READER_PATH));
        view.dialog = &dialog;
    }

    bool open() { return dialog.OnInitDialog(); }
    // Lets the cycle under way end, as the dialog's event loop would.
    void settle() {
        ASSERT_TRUE(view.runPostedUntil([this] { return !dialog.work().cycleRunning(); }));
    }
    void pressOk() {
        dialog.OnOK();
        settle();
    }

    void fillValidSettings() {
        view.type(kSourcePathEdit, m_tree.makeFolder("scans"));
        view.type(kDestPathEdit, m_tree.makeFolder("documents"));
        view.type(kLogPathEdit, m_tree.path("activity.log"));
    }

    const Settings& settings() const { return dialog.settings(); }

    RecordingView view;
    app::MainDialog dialog{view};
};

TEST_F(MainDialogTest, FirstStartShowsTheDefaultsAndAsksForALogFile) {
    ASSERT_TRUE(open());
    EXPECT_EQ(view.masks, (std::map<int, char>{{kPasswordEdit, '*'}}));
    EXPECT_EQ(view.systemMenu.at(kAboutCommand), "&About Quillrun...");
    EXPECT_TRUE(view.toolTips);
    EXPECT_EQ(view.focus, kSourcePathEdit);
    for (const int id : {kSourcePathEdit, kDestPathEdit, kUserEdit, kPasswordEdit, kLogPathEdit}) {
        EXPECT_EQ(view.text.at(id), "") << id;
    }
    EXPECT_EQ(view.text.at(kCommandArgsEdit), "-in:^S -out:^D -nomessage -x");
    EXPECT_TRUE(view.checked.at(kLogActivityCheck));
    EXPECT_TRUE(view.enabled.at(kLogPathEdit));
    EXPECT_FALSE(view.enabled.at(kStatisticsButton));
    EXPECT_EQ(view.text.at(kStatusEdit), "Please check the settings and press OK");
    EXPECT_EQ(dialog.work().readerPath(), std::string("\"") + SCRIPTED_READER_PATH + "\"");

    view.type(kSourcePathEdit, m_tree.makeFolder("scans"));
    view.type(kDestPathEdit, m_tree.makeFolder("documents"));
    dialog.OnOK();
    EXPECT_EQ(view.messages, std::vector<std::string>{kNoLogPathMessage});
    EXPECT_FALSE(dialog.work().running());
    dialog.OnCancel();
    EXPECT_TRUE(view.ended);
    EXPECT_FALSE(Exists(userHive())) << "a first start writes no settings";
}

// The user puts the settings right one after the other; each OK names the next thing missing.
TEST_F(MainDialogTest, OkNamesTheFirstProblemUntilTheSettingsAreRight) {
    ASSERT_TRUE(open());
    const std::string aFile = m_tree.writeFile("notes.txt");
    const struct {
        int controlId;
        std::string text;
        const char* message;
    } steps[] = {
        {kDestPathEdit, "", kNoSourceMessage},
        {kSourcePathEdit, aFile, kBadSourceMessage},
        {kSourcePathEdit, m_tree.path("missing"), kBadSourceMessage},
        {kSourcePathEdit, m_tree.makeFolder("scans") + "/", kNoDestinationMessage},
        {kDestPathEdit, aFile, kBadDestinationMessage},
        {kDestPathEdit, m_tree.makeFolder("documents"), kNoLogPathMessage},
    };
    for (const auto& step : steps) {
        view.type(step.controlId, step.text);
        view.messages.clear();
        dialog.OnOK();
        EXPECT_EQ(view.messages, std::vector<std::string>{step.message}) << step.text;
        EXPECT_FALSE(dialog.work().running());
        EXPECT_TRUE(view.disabledInOrder.empty());
    }
    view.type(kLogPathEdit, m_tree.path("activity.log"));
    view.messages.clear();
    pressOk();
    EXPECT_TRUE(view.messages.empty());
    EXPECT_TRUE(dialog.work().running());
}

TEST_F(MainDialogTest, AcceptedOkLocksTheHierarchiesAndLeavesTheRestEditable) {
    ASSERT_TRUE(open());
    fillValidSettings();
    pressOk();
    for (const int id : {kSourcePathEdit, kDestPathEdit, kSourceBrowseButton, kDestBrowseButton,
                         kOkButton}) {
        EXPECT_FALSE(view.enabled.at(id)) << id;
    }
    for (const int id : {kCommandArgsEdit, kUserEdit, kPasswordEdit, kLogPathEdit, kCancelButton}) {
        EXPECT_TRUE(view.enabled.at(id)) << id;
    }
    EXPECT_EQ(view.text.at(kStatusEdit), "Waiting for work");
    // Enter, or anything else that would press OK again, starts nothing twice.
    dialog.OnOK();
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(view.disabledInOrder.size(), 5u);
}

TEST_F(MainDialogTest, TheLogBoxEnablesTheLogFileControlsAndKeepsTheirText) {
    ASSERT_TRUE(open());
    view.type(kLogPathEdit, "/var/log/quillrun.log");
    for (const bool ticked : {false, true, false}) {
        dialog.OnLogActivity(ticked);
        EXPECT_EQ(settings().writeLog, ticked);
        EXPECT_EQ(view.enabled.at(kLogPathEdit), ticked);
        EXPECT_EQ(view.enabled.at(kLogBrowseButton), ticked);
        EXPECT_EQ(settings().logPath, "/var/log/quillrun.log");
    }
    // With the box cleared, no log file is needed.
    fillValidSettings();
    view.type(kLogPathEdit, "");
    pressOk();
    EXPECT_TRUE(view.messages.empty());
    EXPECT_TRUE(dialog.work().running());
}

// A password an earlier installation kept in clear is shown, and kept scrambled from then on.
TEST_F(MainDialogTest, StoredSettingsAreShownAndAStoredUntickedBoxDisablesTheLogFile) {
    writeUserHive(
        SettingsHive("\"sourcePath\"=\"/srv/scans\"\n\"OrlavexArgs\"=\"-in:^S -out:^D -x\"\n"
                     "\"user\"=\"ann\"\n\"writeLog\"=dword:00000000\n\"pwd\"=\"s3cret\""));
    ASSERT_TRUE(open());
    EXPECT_EQ(view.text.at(kSourcePathEdit), "/srv/scans");
    EXPECT_EQ(view.text.at(kCommandArgsEdit), "-in:^S -out:^D -x");
    EXPECT_EQ(view.text.at(kUserEdit), "ann");
    EXPECT_EQ(view.text.at(kPasswordEdit), "s3cret");
    std::vector<std::string> names;
    for (const auto& value : settingsValues()) {
        names.push_back(value.name);
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"sourcePath", "OrlavexArgs", "user", "writeLog", "epwd"}));
    EXPECT_FALSE(view.checked.at(kLogActivityCheck));
    EXPECT_FALSE(view.enabled.at(kLogPathEdit));
    EXPECT_FALSE(view.enabled.at(kLogBrowseButton));
    EXPECT_EQ(settings().sourcePath, "/srv/scans");
    EXPECT_FALSE(settings().writeLog);
}

// A value beyond any sane length is not read, and the activity log says which one.
TEST_F(MainDialogTest, StoredValueTooLongToReadIsNamedInTheLog) {
    writeUserHive(SettingsHive("\"OrlavexArgs\"=\"" + std::string(kLongestStoredText + 1, 'x') +
                               "\"\n\"writeLog\"=dword:00000000"));
    ASSERT_TRUE(open());
    EXPECT_EQ(view.text.at(kCommandArgsEdit), kDefaultCommandArgs);
    EXPECT_EQ(view.log.substr(11), "The setting OrlavexArgs was not read: it is longer than " +
                                       std::to_string(kLongestStoredText) + " bytes.\r\n");
}

TEST_F(MainDialogTest, ClosingSavesOnlyAfterAnAcceptedOk) {
    const std::string before = SettingsHive("\"user\"=\"ann\"");
    for (const bool accepted : {false, true}) {
        for (const bool byMenu : {false, true}) {
            SCOPED_TRACE(testing::Message() << "accepted " << accepted << ", menu " << byMenu);
            writeUserHive(before);
            RecordingView window;
            app::MainDialog closing(window);
            window.dialog = &closing;
            ASSERT_TRUE(closing.OnInitDialog());
            window.type(kSourcePathEdit, m_tree.makeFolder("scans"));
            window.type(kDestPathEdit, m_tree.makeFolder("documents"));
            window.type(kLogPathEdit, m_tree.path("activity.log"));
            if (accepted) {
                closing.OnOK();
                ASSERT_TRUE(window.runPostedUntil([&] { return !closing.work().cycleRunning(); }));
            }
            window.type(kUserEdit, "bob");  // edited while working: saved with the rest
            if (byMenu) {
                closing.OnSysCommand(kCloseCommand | 0x0002);  // the low bits are the system's
            } else {
                closing.OnCancel();
            }
            EXPECT_TRUE(window.ended);
            EXPECT_EQ(window.timerInterval, 0) << "the timer ends with the dialog";
            if (!accepted) {
                EXPECT_EQ(ReadFile(userHive()), before);
                continue;
            }
            const Settings stored = [] {
                Settings loaded;
                LoadSettings(loaded);
                return loaded;
            }();
            EXPECT_EQ(stored.sourcePath, m_tree.path("scans"));
            EXPECT_EQ(stored.destPath, m_tree.path("documents"));
            EXPECT_EQ(stored.logPath, m_tree.path("activity.log"));
            EXPECT_EQ(stored.user, "bob");
            EXPECT_EQ(settingsValues().size(), 7u);
        }
    }
}

TEST_F(MainDialogTest, WithoutTheReadingProgramTheDialogEndsBeforeReadingAnySetting) {
    setVariable("XDG_CONFIG_DIRS", m_tree.makeFolder("empty-machine"));
    writeUserHive(SettingsHive("\"sourcePath\"=\"/srv/scans\""));
    EXPECT_FALSE(open());
    EXPECT_EQ(view.messages, std::vector<std::string>{"Orlavex was not found on this system!"});
    EXPECT_TRUE(view.ended);
    EXPECT_EQ(settings().sourcePath, "");
    EXPECT_FALSE(view.text.contains(kSourcePathEdit));
    EXPECT_FALSE(view.text.contains(kStatusEdit));
}

TEST_F(MainDialogTest, BrowseFillsFieldAndSettingAndCancelChangesNothing) {
    ASSERT_TRUE(open());
    const struct {
        int buttonId;
        int fieldId;
        std::string Settings::*setting;
        const char* title;
    } browsers[] = {
        {kSourceBrowseButton, kSourcePathEdit, &Settings::sourcePath, res::kSourceBrowseTitle},
        {kDestBrowseButton, kDestPathEdit, &Settings::destPath, res::kDestinationBrowseTitle},
        {kLogBrowseButton, kLogPathEdit, &Settings::logPath, "<log file>"},
    };
    for (const auto& browser : browsers) {
        view.type(browser.fieldId, "typed");
        view.nextChoice.reset();
        EXPECT_TRUE(dialog.OnCommand(browser.buttonId));
        EXPECT_EQ(view.chooserTitles.back(), browser.title);
        EXPECT_EQ(settings().*browser.setting, "typed");

        view.nextChoice = m_tree.path("chosen \xc3\xa9");
        EXPECT_TRUE(dialog.OnCommand(browser.buttonId));
        EXPECT_EQ(view.text.at(browser.fieldId), *view.nextChoice);
        EXPECT_EQ(settings().*browser.setting, *view.nextChoice);
    }
}

TEST_F(MainDialogTest, SystemMenuOpensTheAboutBoxAndToolTipsExplainOnlyControlsWithIds) {
    ASSERT_TRUE(open());
    dialog.OnSysCommand(kAboutCommand);
    dialog.OnSysCommand(0x1234);  // not ours: nothing happens
    EXPECT_EQ(view.aboutBoxes, 1);
    EXPECT_FALSE(view.ended);
    EXPECT_FALSE(dialog.ToolTipText(kSourcePathEdit).empty());
    EXPECT_EQ(dialog.ToolTipText(kNoControlId), "");
    dialog.OnHelp();
    EXPECT_TRUE(view.helpOpen);
    dialog.OnCancel();
    EXPECT_FALSE(view.helpOpen) << "help closes with the dialog";
}

// The dialog driving real work: OK converts the first image at once, the timer's ticks are
// delivered by hand, and edits made while working reach the next job.
TEST_F(MainDialogTest, ConvertsTheTreeAndTakesEditsMadeWhileWorking) {
    m_tree.writeFile("scans/a/one.tif");
    m_tree.writeFile("scans/b/two.tif");
    ASSERT_TRUE(open());
    fillValidSettings();
    // Two pages, the second poorly recognised.
    view.type(kCommandArgsEdit, "-in:^S -out:^D \"--stats=600, 6, 9, 0, 0|500, 40, 30, 0, 0\" -x");
    pressOk();
    EXPECT_TRUE(view.enabled.at(kStatisticsButton));
    EXPECT_EQ(view.readerEnds, 1);
    ASSERT_EQ(dialog.work().pageStats().documentCount(), 1u);
    const std::string converted = dialog.work().pageStats().documentPath(0);

    const std::string record = m_tree.path("arguments");
    view.type(kCommandArgsEdit, "-in:^S -out:^D --no-doc --record=" + record);
    view.type(kUserEdit, "night");
    view.type(kPasswordEdit, "s3cret");
    dialog.OnTimer();  // releases the first document and runs the second image
    settle();
    const std::string failed = converted.find("/a/one.orx") != std::string::npos
                                   ? m_tree.path("scans/b/two.tif")
                                   : m_tree.path("scans/a/one.tif");
    const std::vector<std::string> arguments = RecordedArguments(record);
    EXPECT_NE(std::find(arguments.begin(), arguments.end(), "-user:night"), arguments.end());
    EXPECT_NE(std::find(arguments.begin(), arguments.end(), "-pwd:s3cret"), arguments.end());
    dialog.OnTimer();
    settle();
    EXPECT_EQ(view.text.at(kStatusEdit), "Waiting for work");

    EXPECT_TRUE(Exists(converted));
    const std::string relative = failed.substr(m_tree.path("scans").size());
    EXPECT_TRUE(Exists(m_tree.path("documents") + relative.substr(0, relative.size() - 3) + "bad"));
    dialog.OnStatistics();
    EXPECT_EQ(view.statisticsShown, 2u);
    const std::string file = ReadFile(m_tree.path("activity.log"));
    for (const std::string& line :
         {converted + " has been created.", std::string("It contains 2 pages."),
          std::string("1 page may have been poorly recognized."),
          "Warning! - no ORX file was created for " + failed + "."}) {
        EXPECT_NE(view.log.find(line + "\r\n"), std::string::npos) << line;
        EXPECT_NE(file.find(line + "\r\n"), std::string::npos) << line;
    }
}

// While the reading program works the dialog does not close under the job; Stop ends the program
// and the image, left without a document, gets its marker.
TEST_F(MainDialogTest, CancelWaitsForTheJobAndStopEndsTheReadingProgram) {
    const std::string image = m_tree.writeFile("scans/one.tif");
    ASSERT_TRUE(open());
    fillValidSettings();
    dialog.OnLogActivity(false);
    view.type(kCommandArgsEdit, "-in:^S -out:^D --sleep-forever");
    view.whileReading = [this] {
        dialog.OnCancel();
        EXPECT_FALSE(view.ended);
        dialog.OnStopReader();
    };
    pressOk();
    EXPECT_FALSE(view.ended);
    EXPECT_EQ(view.readerImages.front(), image);
    EXPECT_TRUE(Exists(m_tree.path("documents/one.bad")));
    view.whileReading = nullptr;
    dialog.OnCancel();
    EXPECT_TRUE(view.ended);
}

}  // namespace
}  // namespace quillrun::test
