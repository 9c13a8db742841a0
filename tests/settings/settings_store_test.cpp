#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "settings/password_scrambling.h"
#include "settings/settings_environment.h"

namespace quillrun::test {
namespace {

using platform::RegistryFileValue;

// Stands in for the main dialog: records what it is shown and, as the dialog's change handlers
// do, copies every field's text back into its member.
class RecordingView : public SettingsView {
  public:
    explicit RecordingView(QuillrunMembers& members) : m_members(members) {}

    void SetFieldText(int controlId, const std::string& text) override {
        calls.push_back(std::to_string(controlId) + "=" + text);
        *memberOf(controlId) = text;
    }
    void SetLogActivityChecked(bool checked) override {
        calls.push_back(std::string("check=") + (checked ? "1" : "0"));
    }
    void UpdateLogControls() override {
        calls.push_back(std::string("log controls ") + (m_members.m_writeLog ? "on" : "off"));
    }

    std::vector<std::string> calls;

  private:
    std::string* memberOf(int controlId) {
        switch (controlId) {
            case kSourcePathEdit:
                return &m_members.m_sourcePath;
            case kDestPathEdit:
                return &m_members.m_destPath;
            case kCommandArgsEdit:
                return &m_members.m_commandArgs;
            case kUserEdit:
                return &m_members.m_user;
            case kPasswordEdit:
                return &m_members.m_password;
            default:
                return &m_members.m_logPath;
        }
    }
    QuillrunMembers& m_members;
};

class SettingsStore : public SettingsEnvironment {
  protected:
    QuillrunMembers load() {
        QuillrunMembers members;
        RecordingView view(members);
        LoadSettings(members, view);
        m_calls = view.calls;
        return members;
    }
    std::vector<std::string> m_calls;
};

TEST_F(SettingsStore, FirstRunShowsTheInitialValuesAndTouchesNothing) {
    const QuillrunMembers members = load();
    EXPECT_EQ(m_calls,
              (std::vector<std::string>{"1000=", "1002=", "1007=-in:^S -out:^D -nomessage -x",
                                        "1015=", "1013=", "1009=", "check=1", "log controls on"}));
    EXPECT_EQ(members.m_commandArgs, kDefaultCommandArgs);
    EXPECT_EQ(members.m_writeLog, 1);
    EXPECT_FALSE(std::filesystem::exists(configHome()));
}

TEST_F(SettingsStore, LoadTakesWhatIsStoredByTheLayoutsRules) {
    const std::string text260(260, 'x');
    struct Case {
        const char* what;
        std::string values;
        std::string QuillrunMembers::*member;
        std::string expected;
    };
    const Case cases[] = {
        {"a text", "\"destPath\"=\"/out\"", &QuillrunMembers::m_destPath, "/out"},
        {"empty args are no default", "\"OrlavexArgs\"=\"\"", &QuillrunMembers::m_commandArgs, ""},
        {"empty log path", "\"logPath\"=hex(1):", &QuillrunMembers::m_logPath, ""},
        {"empty source ignored", "\"sourcePath\"=\"\"", &QuillrunMembers::m_sourcePath, "kept"},
        {"empty user ignored", "\"user\"=\"\"", &QuillrunMembers::m_user, "kept"},
        {"260 bytes read whole", "\"user\"=\"" + text260 + "\"", &QuillrunMembers::m_user, text260},
        {"261 bytes ignored", "\"user\"=\"" + text260 + "y\"", &QuillrunMembers::m_user, "kept"},
        {"text ends at a zero", "\"user\"=" + HexText(std::string("ab\0cd", 5)),
         &QuillrunMembers::m_user, "ab"},
        {"type not examined", "\"user\"=dword:00636261", &QuillrunMembers::m_user, "abc"},
        {"names without case", "\"USER\"=\"u\"", &QuillrunMembers::m_user, "u"},
        {"password", "\"epwd\"=hex(1):11,31,1b,45,34,57", &QuillrunMembers::m_password, "secret"},
        {"empty password ignored", "\"epwd\"=\"\"", &QuillrunMembers::m_password, "kept"},
    };
    for (const Case& c : cases) {
        writeUserHive(SettingsHive(c.values));
        QuillrunMembers members;
        members.m_sourcePath = members.m_user = members.m_password = "kept";
        RecordingView view(members);
        LoadSettings(members, view);
        EXPECT_EQ(members.*c.member, c.expected) << c.what;
    }
}

TEST_F(SettingsStore, WriteLogTicksTheBoxWhenNonzero) {
    struct Case {
        const char* value;
        int writeLog;
        const char* check;
        const char* logControls;
    };
    for (const Case& c : {Case{"dword:00000000", 0, "check=0", "log controls off"},
                          Case{"dword:0000002a", 42, "check=1", "log controls on"},
                          Case{"hex(4):00,00,00,00,00", 1, "check=1", "log controls on"},
                          Case{"hex(4):", 1, "check=1", "log controls on"}}) {
        writeUserHive(SettingsHive(std::string("\"writeLog\"=") + c.value));
        const QuillrunMembers members = load();
        EXPECT_EQ(members.m_writeLog, c.writeLog) << c.value;
        EXPECT_EQ(m_calls.at(6), c.check) << c.value;
        EXPECT_EQ(m_calls.at(7), c.logControls) << c.value;
    }
}

TEST_F(SettingsStore, PasswordInClearIsReplacedByItsScrambledForm) {
    struct Case {
        const char* what;
        std::string values;
        std::string password;
        std::vector<std::string> namesAfter;
    };
    const Case cases[] = {
        {"pwd alone", "\"pwd\"=\"secret\"", "secret", {"epwd"}},
        {"pwd beside epwd",
         "\"epwd\"=hex(1):0d,20,10,52,23\n\"pwd\"=\"secret\"",
         "secret",
         {"epwd"}},
        {"empty pwd stays",
         "\"pwd\"=\"\"\n\"epwd\"=hex(1):0d,20,10,52,23",
         "other",
         {"pwd", "epwd"}},
    };
    for (const Case& c : cases) {
        writeUserHive(SettingsHive(c.values));
        EXPECT_EQ(load().m_password, c.password) << c.what;
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
    EXPECT_EQ(load().m_password, "");
    EXPECT_EQ(ReadFile(userHive()), hive);
}

TEST_F(SettingsStore, SaveWritesAllSevenValuesInTheirOrder) {
    QuillrunMembers members;
    members.m_sourcePath = "/in";
    members.m_commandArgs = "-in:^S -out:^D";
    members.m_password = "secret";
    members.m_writeLog = 0;
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
        QuillrunMembers saved;
        saved.m_sourcePath = "/srv/\"scans\" \\ \xC3\xBC";
        saved.m_destPath = std::string("/out\x01\x7f", 6);
        saved.m_user = "user";
        saved.m_password = password;
        saved.m_logPath = "";
        saved.m_commandArgs = "";
        saved.m_writeLog = 0;
        SaveSettings(saved);
        const QuillrunMembers loaded = load();
        EXPECT_EQ(loaded.m_password, password);
        EXPECT_EQ(loaded.m_sourcePath, saved.m_sourcePath);
        EXPECT_EQ(loaded.m_destPath, saved.m_destPath);
        EXPECT_EQ(loaded.m_user, saved.m_user);
        EXPECT_EQ(loaded.m_commandArgs, "");
        EXPECT_EQ(loaded.m_writeLog, 0);
    }
}

TEST_F(SettingsStore, PasswordLongerThanTheBufferIsSavedButNotRead) {
    QuillrunMembers saved;
    saved.m_password = std::string(300, 'p');
    SaveSettings(saved);
    EXPECT_EQ(settingsValues().at(5).data.size(), 300u);
    EXPECT_EQ(load().m_password, "");
}

TEST_F(SettingsStore, ClosingSavesOnlyAfterAnAcceptedOk) {
    QuillrunMembers members;
    members.m_sourcePath = "/edited";
    SaveSettingsOnClose(members);
    EXPECT_FALSE(std::filesystem::exists(configHome()));

    members.m_running = 1;
    SaveSettingsOnClose(members);
    EXPECT_EQ(load().m_sourcePath, "/edited");
}

}  // namespace
}  // namespace quillrun::test
