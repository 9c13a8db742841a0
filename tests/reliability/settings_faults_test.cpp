#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "hive/hive.h"
#include "settings/settings_environment.h"
#include "settings/settings_store.h"

namespace quillrun::test {
namespace {

class SettingsFaults : public SettingsEnvironment {
  protected:
    static Settings load() {
        Settings settings;
        LoadSettings(settings);
        return settings;
    }

    // The files beside the user hive whose names start with the hive's.
    std::vector<std::string> keptAside() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(configHome() + "/quillrun")) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with("user.reg.unreadable-")) {
                names.push_back(entry.path().string());
            }
        }
        return names;
    }

    // What the start tells the user about the hive.
    static std::string problem() { return hive::HiveProblem(hive::Hive::CurrentUser).value_or(""); }

    static Settings saved() {
        Settings settings;
        settings.sourcePath = "/srv/new";
        return settings;
    }
};

TEST_F(SettingsFaults, TruncatedHiveStartsFromDefaultsAndIsKeptAsideWhole) {
    const std::string whole = SettingsHive("\"sourcePath\"=\"/srv/scans\"\n\"user\"=\"ann\"");
    const std::string truncated = whole.substr(0, whole.find("ann") + 1);
    writeUserHive(truncated);
    EXPECT_EQ(load().sourcePath, "");
    EXPECT_EQ(problem(), userHive() +
                             " is not in the format Quillrun writes; it is kept aside "
                             "under a new name when the settings are next saved");
    EXPECT_EQ(SaveSettings(saved()), std::nullopt);
    EXPECT_EQ(problem(), "");
    const auto aside = keptAside();
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(ReadFile(aside.front()), truncated);
    EXPECT_EQ(load().sourcePath, "/srv/new");
}

// A hive is a few hundred bytes: one of 100 MB is not ours. It is not parsed (nothing hangs on
// it) and is set aside whole before the first save.
TEST_F(SettingsFaults, HugeHiveIsSetAsideRatherThanParsed) {
    std::string text = SettingsHive("\"sourcePath\"=\"/srv/scans\"");
    const std::string comment = "; " + std::string(998, 'x') + "\n";
    text.reserve(100 * 1024 * 1024 + comment.size());
    while (text.size() < 100 * 1024 * 1024) {
        text += comment;
    }
    writeUserHive(text);
    EXPECT_EQ(load().sourcePath, "");
    EXPECT_NE(problem().find("is far larger than a settings file"), std::string::npos);
    SaveSettings(saved());
    const auto aside = keptAside();
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(std::filesystem::file_size(aside.front()), text.size());
    EXPECT_EQ(load().sourcePath, "/srv/new");
}

TEST_F(SettingsFaults, FolderOrUnreadableFileInPlaceOfTheHiveLosesNothing) {
    std::filesystem::create_directories(userHive() + "/something");
    EXPECT_EQ(load().sourcePath, "");
    EXPECT_EQ(problem(), userHive() + " is not a file this user can read; it is left as it is");
    EXPECT_NE(SaveSettings(saved()), std::nullopt);
    EXPECT_TRUE(std::filesystem::is_directory(userHive() + "/something"));

    if (::geteuid() != 0) {
        std::filesystem::remove_all(userHive());
        writeUserHive(SettingsHive("\"sourcePath\"=\"/srv/scans\""));
        ASSERT_EQ(::chmod(userHive().c_str(), 0), 0);
        EXPECT_EQ(load().sourcePath, "");
        SaveSettings(saved());
        ::chmod(userHive().c_str(), 0600);
        EXPECT_EQ(load().sourcePath, "/srv/scans");
    }
}

// A link planted at the lock file's name is never followed: the save and the conversion of a
// password kept in clear fail, and say why, and the hive keeps what it had.
TEST_F(SettingsFaults, LinkAtTheLockFileStopsSavesAndSaysWhy) {
    const std::string before = SettingsHive("\"pwd\"=\"clear\"");
    writeUserHive(before);
    const std::string elsewhere = m_tree.writeFile("elsewhere", "");
    std::filesystem::create_symlink(elsewhere, userHive() + ".lock");
    const std::string why =
        "its lock file " + userHive() + ".lock cannot be taken (Too many levels of symbolic links)";
    EXPECT_EQ(SaveSettings(saved()),
              "The settings could not be saved in " + userHive() + ": " + why + ".");
    EXPECT_EQ(MigrateLegacyPassword(),
              "The password kept in clear in the settings could not be "
              "scrambled: " +
                  why + ". It is tried again at the next start.");
    EXPECT_EQ(ReadFile(userHive()), before);
    EXPECT_EQ(ReadFile(elsewhere), "");
}

}  // namespace
}  // namespace quillrun::test
