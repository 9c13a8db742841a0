#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "settings/password_scrambling.h"
#include "settings/settings_environment.h"

namespace quillrun::test {
namespace {

using hive::RegistryFileValue;

class SettingsStore : public SettingsEnvironment {
  protected:
    static Settings load() {
        Settings settings;
        LoadSettings(settings);
        return settings;
    }
};

TEST_F(SettingsStore, FirstRunShowsTheInitialValuesAndTouchesNothing) {
    const Settings settings = load();
    EXPECT_EQ(settings.commandArgs, kDefaultCommandArgs);
    EXPECT_TRUE(settings.writeLog);
    EXPECT_FALSE(std::filesystem::exists(configHome()));
}

TEST_F(SettingsStore, LoadTakesWhatIsStoredByTheLayoutsRules) {
    const std::string text260(260, 'x');
    const std::string longText(4000, 'l');
    const std::string tooLong(kLongestStoredText + 1, 't');
    struct Case {
        const char* what;
        std::string values;
        std::string Settings::*setting;
        std::string expected;
    };
    const Case cases[] = {
        {"a text", "\"destPath\"=\"/out\"", &Settings::destPath, "/out"},
        {"empty args are no default", "\"OrlavexArgs\"=\"\"", &Settings::commandArgs, ""},
        {"empty log path", "\"logPath\"=hex(1):", &Settings::logPath, ""},
        {"empty source ignored", "\"sourcePath\"=\"\"", &Settings::sourcePath, "kept"},
        {"empty user ignored", "\"user\"=\"\"", &Settings::user, "kept"},
        {"260 bytes read whole", "\"user\"=\"" + text260 + "\"", &Settings::user, text260},
        {"261 bytes read whole", "\"user\"=\"" + text260 + "y\"", &Settings::user, text260 + "y"},
        {"a long template read whole", "\"OrlavexArgs\"=\"" + longText + "\"",
         &Settings::commandArgs, longText},
        {"beyond any sane length ignored", "\"OrlavexArgs\"=\"" + tooLong + "\"",
         &Settings::commandArgs, kDefaultCommandArgs},
        {"text ends at a zero", "\"user\"=" + HexText(std::string("ab\0cd", 5)), &Settings::user,
         "ab"},
        {"type not examined", "\"user\"=dword:00636261", &Settings::user, "abc"},
        {"names without case", "\"USER\"=\"u\"", &Settings::user, "u"},
        {"password", "\"epwd\"=hex(1):11,31,1b,45,34,57", &Settings::password, "secret"},
        {"empty password ignored", "\"epwd\"=\"\"", &Settings::password, "kept"},
    };
    for (const Case& c : cases) {
        writeUserHive(SettingsHive(c.values));
        Settings settings;
        settings.sourcePath = settings.user = settings.password = "kept";
        LoadSettings(settings);
        EXPECT_EQ(settings.*c.setting, c.expected) << c.what;
    }
}

TEST_F(SettingsStore, WriteLogIsOnWhenNonzero) {
    struct Case {
        const char* value;
        bool writeLog;
    };
    for (const Case& c : {Case{"dword:00000000", false}, Case{"dword:0000002a", true},
                          Case{"hex(4):00,00,00,00,00", true}, Case{"hex(4):", true}}) {
        writeUserHive(SettingsHive(std::string("\"writeLog\"=") + c.value));
        EXPECT_EQ(load().writeLog, c.writeLog) << c.value;
    }
}

// Loading alone writes nothing; the conversion is a step of its own, which the start runs first.
TEST_F(SettingsStore, PasswordInClearIsReplacedByItsScrambledFormOnlyByTheMigration) {
    struct Case {
        const char* what;
        std::string values;
        std::string passwordBefore;
        std::string password;
        std::vector<std::string> namesAfter;
    };
    const Case cases[] = {
        {"pwd alone", "\"pwd\"=\"secret\"", "", "secret", {"epwd"}},
        {"pwd beside epwd",
         "\"epwd\"=hex(1):0d,20,10,52,23\n\"pwd\"=\"secret\"",
         "other",
         "secret",
         {"epwd"}},
        {"empty pwd stays",
         "\"pwd\"=\"\"\n\"epwd\"=hex(1):0d,20,10,52,23",
         "other",
         "other",
         {"pwd", "epwd"}},
    };
    for (const Case& c : cases) {
        const std::string hive = SettingsHive(c.values);
        writeUserHive(hive);
        EXPECT_EQ(load().password, c.passwordBefore) << c.what;
        EXPECT_EQ(ReadFile(userHive()), hive) << c.what;
        MigrateLegacyPassword();
        EXPECT_EQ(load().password, c.password) << c.what;
        std::vector<std::string> names;
        for (const RegistryFileValue& value : settingsValues()) {
            names.push_back(value.name);
            if (value.name == "epwd") {
                EXPECT_EQ(value.data, ScrambleText(c.password, g_scrambleKey)) << c.what;
            }
        }
        EXPECT_EQ(names, c.namesAfter) << c.what;
    }
}

TEST_F(SettingsStore, PasswordInClearStaysWhenTheStoreCannotBeWritten) {
    const std::string hive = SettingsHive("\"pwd\"=\"secret\"");
    writeUserHive(hive);
    MakeFolders(userHive() + ".lock");  // no lock can be taken, so nothing can be written
    MigrateLegacyPassword();
    EXPECT_EQ(load().password, "");
    EXPECT_EQ(ReadFile(userHive()), hive);
}

TEST_F(SettingsStore, SaveWritesAllSevenValuesInTheirOrder) {
    Settings members;
    members.sourcePath = "/in";
    members.commandArgs = "-in:^S -out:^D";
    members.password = "secret";
    members.writeLog = false;
    SaveSettings(members);
    const std::vector<RegistryFileValue> expected = {
        {"sourcePath", 1, "/in"},
        {"destPath", 1, ""},
        {"OrlavexArgs", 1, "-in:^S -out:^D"},
        {"logPath", 1, ""},
        {"user", 1, ""},
        {"epwd", 1, "\x11\x31\x1b\x45\x34\x57"},
        {"writeLog", 4, std::string(4, '\0')},
    };
    EXPECT_EQ(settingsValues(), expected);
}

TEST_F(SettingsStore, SavedSettingsComeBackAsTheyWereLeft) {
    std::string everyByte;
    for (int c = 1; c < 256; ++c) {
        everyByte.push_back(static_cast<char>(c));
    }
    for (const std::string& password :
         {everyByte, std::string("b-first"), std::string("xxxxQ-fifth"), std::string("bTx7Q#m4w"),
          std::string("")}) {
        Settings saved;
        saved.sourcePath = "/srv/\"scans\" \\ \xC3\xBC";
        saved.destPath = std::string("/out\x01\x7f", 6);
        saved.user = "user";
        saved.password = password;
        saved.logPath = "";
        saved.commandArgs = "";
        saved.writeLog = false;
        SaveSettings(saved);
        const Settings loaded = load();
        EXPECT_EQ(loaded.password, password);
        EXPECT_EQ(loaded.sourcePath, saved.sourcePath);
        EXPECT_EQ(loaded.destPath, saved.destPath);
        EXPECT_EQ(loaded.user, saved.user);
        EXPECT_EQ(loaded.commandArgs, "");
        EXPECT_FALSE(loaded.writeLog);
    }
}

TEST_F(SettingsStore, LongPasswordComesBackWhole) {
    Settings saved;
    saved.password = std::string(300, 'p');
    SaveSettings(saved);
    EXPECT_EQ(settingsValues().at(5).data.size(), 300u);
    EXPECT_EQ(load().password, saved.password);
}

// The hive holds the password, scrambled only: whatever made it readable by others, the next
// save makes it private again, even when no value changes.
TEST_F(SettingsStore, HiveReadableByOthersIsMadePrivateByTheNextSave) {
    Settings saved;
    saved.password = "secret";
    SaveSettings(saved);
    ASSERT_EQ(::chmod(userHive().c_str(), 0644), 0);
    SaveSettings(saved);
    struct stat status {};
    ASSERT_EQ(::stat(userHive().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);
}

}  // namespace
}  // namespace quillrun::test
