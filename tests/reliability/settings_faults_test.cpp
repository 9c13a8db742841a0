#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

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
    SaveSettings(saved());
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
    SaveSettings(saved());
    const auto aside = keptAside();
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(std::filesystem::file_size(aside.front()), text.size());
    EXPECT_EQ(load().sourcePath, "/srv/new");
}

TEST_F(SettingsFaults, FolderOrUnreadableFileInPlaceOfTheHiveLosesNothing) {
    std::filesystem::create_directories(userHive() + "/something");
    EXPECT_EQ(load().sourcePath, "");
    SaveSettings(saved());
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

}  // namespace
}  // namespace quillrun::test
