#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "hive/hive.h"
#include "settings/settings_environment.h"
#include "support/background_process.h"

namespace quillrun::test {
namespace {

using hive::CreateKey;
using hive::Hive;
using hive::OpenKey;

constexpr const char* kKey = "Software\\Tandrel\\Quillrun";

class HiveFileStore : public SettingsEnvironment {
  protected:
    static bool set(const std::string& name, const std::string& data) {
        std::optional<hive::KeyWriter> key = CreateKey(Hive::CurrentUser, kKey);
        return key && key->writeText(name, data);
    }

    static std::set<std::string> entriesOf(const std::string& folder) {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    static unsigned modeOf(const std::string& path) {
        struct stat status {};
        ::stat(path.c_str(), &status);
        return status.st_mode & 07777;
    }
};

TEST_F(HiveFileStore, FirstWriteCreatesAPrivateFolderAndFileWhateverTheUmask) {
    const mode_t oldMask = ::umask(0);
    EXPECT_TRUE(set("sourcePath", "/srv/scans"));
    ::umask(oldMask);

    EXPECT_EQ(modeOf(configHome()), 0700u);
    EXPECT_EQ(modeOf(configHome() + "/quillrun"), 0700u);
    EXPECT_EQ(modeOf(userHive()), 0600u);
    EXPECT_EQ(ReadFile(userHive()),
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Tandrel\\Quillrun]\n"
              "\"sourcePath\"=\"/srv/scans\"\n\n");
    // The replacement's temporary file is gone; only the hive and its lock remain.
    EXPECT_EQ(entriesOf(configHome() + "/quillrun"),
              (std::set<std::string>{"user.reg", "user.reg.lock"}));
}

TEST_F(HiveFileStore, KeysAndValuesAreFoundWithoutRegardToCase) {
    EXPECT_FALSE(OpenKey(Hive::CurrentUser, kKey));
    std::optional<hive::KeyWriter> key = CreateKey(Hive::CurrentUser, kKey);
    ASSERT_TRUE(key);
    EXPECT_TRUE(key->writeText("tenBytes", "0123456789"));
    EXPECT_EQ(OpenKey(Hive::CurrentUser, "SOFTWARE\\tandrel\\quillrun")->readText("TENBYTES"),
              "0123456789");
    EXPECT_TRUE(key->deleteValue("TenBytes"));
    EXPECT_FALSE(key->deleteValue("tenBytes"));
    EXPECT_FALSE(key->writeText("line\nbreak", "x"));
    // A key exists as soon as one of its subkeys does.
    EXPECT_TRUE(OpenKey(Hive::CurrentUser, "software\\TANDREL"));
}

TEST_F(HiveFileStore, EveryReadSeesTheFileAsItIsNow) {
    ASSERT_TRUE(set("user", "before"));
    const std::optional<hive::KeyReader> key = OpenKey(Hive::CurrentUser, kKey);
    ASSERT_TRUE(key);
    writeUserHive(SettingsHive("\"user\"=\"after\""));
    EXPECT_EQ(key->readText("user"), "after");
}

TEST_F(HiveFileStore, WritesKeepWhatThisProgramDoesNotKnow) {
    const std::string others =
        "[HKEY_CURRENT_USER\\Software\\Other]\n"
        "\"list\"=hex(7):61,00,00\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\Strange]\n"
        "@=\"kept\"\n"
        "\n";
    writeUserHive(SettingsHive("\"future\"=dword:00000007") + "\n" + others);
    ASSERT_TRUE(set("sourcePath", "/x"));
    EXPECT_EQ(ReadFile(userHive()), SettingsHive("\"future\"=dword:00000007\n"
                                                 "\"sourcePath\"=\"/x\"") +
                                        "\n" + others);
}

TEST_F(HiveFileStore, UnreadableFileReadsAsEmptyAndIsKeptAsideBeforeItIsReplaced) {
    const std::string hives[] = {
        std::string("\x7f"
                    "ELF\x02\0\0\0garbage",
                    15),
        SettingsHive("\"sourcePath\"=\"/srv/sc"),  // cut off in the middle of a line
        "[HKEY_CURRENT_USER\\Software\\Tandrel\\Quillrun]\n\"user\"=\"no header\"\n",
    };
    for (const std::string& hive : hives) {
        writeUserHive(hive);
        EXPECT_FALSE(OpenKey(Hive::CurrentUser, kKey));
        EXPECT_EQ(ReadFile(userHive()), hive) << "a read never changes the file";

        ASSERT_TRUE(set("user", "new"));
        EXPECT_EQ(ReadFile(userHive()), SettingsHive("\"user\"=\"new\"") + "\n");
    }
    // Each unreadable file is kept whole under a name of its own, even within one second.
    std::set<std::string> kept;
    for (const std::string& name : entriesOf(configHome() + "/quillrun")) {
        if (name.rfind("user.reg.unreadable-", 0) == 0) {
            kept.insert(ReadFile(configHome() + "/quillrun/" + name));
        }
    }
    EXPECT_EQ(kept, std::set<std::string>(std::begin(hives), std::end(hives)));
}

TEST_F(HiveFileStore, HiveThatCannotBeReadIsNeverReplaced) {
    MakeFolders(userHive());  // a folder where the file should be
    EXPECT_FALSE(set("user", "x"));
    EXPECT_TRUE(std::filesystem::is_directory(userHive()));
}

TEST_F(HiveFileStore, LinkedHiveStaysLinked) {
    const std::string target = m_tree.path("dotfiles/user.reg");
    WriteFile(target, SettingsHive("\"user\"=\"old\""), false);
    MakeFolders(configHome() + "/quillrun");
    std::filesystem::create_symlink(target, userHive());
    ASSERT_TRUE(set("user", "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(userHive()));
    EXPECT_EQ(ReadFile(target), SettingsHive("\"user\"=\"new\"") + "\n");
}

TEST_F(HiveFileStore, UserHiveFallsBackToTheHomeFolder) {
    for (const std::optional<std::string>& configHome :
         {std::optional<std::string>(), std::optional<std::string>(""),
          std::optional<std::string>("relative/config")}) {
        setVariable("XDG_CONFIG_HOME", configHome);
        ASSERT_TRUE(set("user", configHome.value_or("unset")));
        EXPECT_EQ(settingsValues().size(), 0u) << "nothing lands in the test's config folder";
        const std::string inHome = ReadFile(m_tree.path("home/.config/quillrun/user.reg"));
        EXPECT_NE(inHome.find("\"user\"=\"" + configHome.value_or("unset") + "\""),
                  std::string::npos);
    }
}

TEST_F(HiveFileStore, MachineHiveIsReadFromTheFirstFolderThatHasOne) {
    const std::string key = "Software\\Vendor\\Tool";
    auto readDefault = [&] {
        const std::optional<hive::KeyReader> opened = OpenKey(Hive::LocalMachine, key);
        return opened ? opened->readText("").value_or("<none>") : "<none>";
    };
    WriteFile(machineHive(1), "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\" + key + "]\n@=\"second\"\n",
              false);
    EXPECT_EQ(readDefault(), "second");

    // Installing writes to the first folder, which then shadows the second.
    ASSERT_TRUE(hive::WriteMachineDefaultValue(key, "first"));
    EXPECT_TRUE(Exists(machineHive(0)));
    EXPECT_EQ(modeOf(machineHive(0)), 0644u);
    EXPECT_EQ(readDefault(), "first");

    // Empty and relative entries are skipped.
    setVariable("XDG_CONFIG_DIRS", ":relative:" + m_tree.path("xdg-b"));
    EXPECT_EQ(readDefault(), "second");
}

TEST_F(HiveFileStore, TwoInstancesWritingAtOnceLoseNothing) {
    constexpr int kWrites = 150;
    BackgroundProcess first({REGISTRY_WRITER_PATH, "first", std::to_string(kWrites)});
    BackgroundProcess second({REGISTRY_WRITER_PATH, "second", std::to_string(kWrites)});
    ASSERT_EQ(first.wait(), 0);
    ASSERT_EQ(second.wait(), 0);

    std::set<std::string> names;
    for (const auto& value : settingsValues()) {
        names.insert(value.name);
    }
    EXPECT_EQ(names.size(), 2u * kWrites);
    for (int i = 0; i < kWrites; ++i) {
        EXPECT_TRUE(names.count("first" + std::to_string(i)));
        EXPECT_TRUE(names.count("second" + std::to_string(i)));
    }
}

}  // namespace
}  // namespace quillrun::test
