#include <sys/stat.h>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "platform/registry.h"
#include "settings/settings_environment.h"
#include "support/background_process.h"

namespace quillrun::test {
namespace {

using platform::CreateRegistryKey;
using platform::kRegSz;
using platform::OpenRegistryKey;
using platform::RegistryHive;
using platform::RegistryKey;
using platform::RegistryStatus;

constexpr const char* kKey = "Software\\Tandrel\\Quillrun";

class RegistryStore : public SettingsEnvironment {
  protected:
    static RegistryStatus set(const std::string& name, const std::string& data) {
        RegistryKey key;
        const RegistryStatus status = CreateRegistryKey(RegistryHive::CurrentUser, kKey, key);
        if (status != RegistryStatus::Ok) {
            return status;
        }
        return key.setValue(name, kRegSz, data.data(), static_cast<std::uint32_t>(data.size()));
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

TEST_F(RegistryStore, FirstWriteCreatesAPrivateFolderAndFileWhateverTheUmask) {
    const mode_t oldMask = ::umask(0);
    EXPECT_EQ(set("sourcePath", "/srv/scans"), RegistryStatus::Ok);
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

TEST_F(RegistryStore, ReadsFollowTheCallersBufferSize) {
    ASSERT_EQ(set("tenBytes", "0123456789"), RegistryStatus::Ok);
    RegistryKey key;
    ASSERT_EQ(OpenRegistryKey(RegistryHive::CurrentUser, kKey, key), RegistryStatus::Ok);

    struct Case {
        std::uint32_t capacity;
        RegistryStatus status;
    };
    for (const Case& c : {Case{9, RegistryStatus::MoreData}, Case{10, RegistryStatus::Ok},
                          Case{260, RegistryStatus::Ok}}) {
        std::array<char, 260> buffer{};
        std::uint32_t size = c.capacity;
        platform::RegistryValueType type = 0;
        EXPECT_EQ(key.queryValue("TENBYTES", &type, buffer.data(), &size), c.status);
        EXPECT_EQ(size, 10u) << c.capacity;
        EXPECT_EQ(type, kRegSz);
        EXPECT_EQ(std::string(buffer.data()), c.status == RegistryStatus::Ok ? "0123456789" : "");
    }
    std::uint32_t size = 0;
    EXPECT_EQ(key.queryValue("tenBytes", nullptr, nullptr, &size), RegistryStatus::Ok);
    EXPECT_EQ(size, 10u);
    EXPECT_EQ(key.queryValue("missing", nullptr, nullptr, &size), RegistryStatus::NotFound);
}

TEST_F(RegistryStore, KeysAllowOnlyTheAccessTheyWereOpenedFor) {
    RegistryKey key;
    EXPECT_EQ(OpenRegistryKey(RegistryHive::CurrentUser, kKey, key), RegistryStatus::NotFound);
    EXPECT_FALSE(key.isOpen());

    ASSERT_EQ(CreateRegistryKey(RegistryHive::CurrentUser, kKey, key), RegistryStatus::Ok);
    std::uint32_t size = 0;
    EXPECT_EQ(key.queryValue("a", nullptr, nullptr, &size), RegistryStatus::AccessDenied);
    EXPECT_EQ(key.setValue("a", kRegSz, "x", 1), RegistryStatus::Ok);
    EXPECT_EQ(key.deleteValue("a"), RegistryStatus::Ok);
    EXPECT_EQ(key.deleteValue("a"), RegistryStatus::NotFound);
    EXPECT_EQ(key.setValue("line\nbreak", kRegSz, "x", 1), RegistryStatus::Failed);

    // A key exists as soon as one of its subkeys does.
    ASSERT_EQ(OpenRegistryKey(RegistryHive::CurrentUser, "software\\TANDREL", key),
              RegistryStatus::Ok);
    EXPECT_EQ(key.setValue("a", kRegSz, "x", 1), RegistryStatus::AccessDenied);
    EXPECT_EQ(key.deleteValue("a"), RegistryStatus::AccessDenied);
}

TEST_F(RegistryStore, EveryReadSeesTheFileAsItIsNow) {
    ASSERT_EQ(set("user", "before"), RegistryStatus::Ok);
    RegistryKey key;
    ASSERT_EQ(OpenRegistryKey(RegistryHive::CurrentUser, kKey, key), RegistryStatus::Ok);
    writeUserHive(SettingsHive("\"user\"=\"after\""));
    std::array<char, 16> buffer{};
    std::uint32_t size = buffer.size();
    ASSERT_EQ(key.queryValue("user", nullptr, buffer.data(), &size), RegistryStatus::Ok);
    EXPECT_EQ(std::string(buffer.data(), size), "after");
}

TEST_F(RegistryStore, WritesKeepWhatThisProgramDoesNotKnow) {
    const std::string others =
        "[HKEY_CURRENT_USER\\Software\\Other]\n"
        "\"list\"=hex(7):61,00,00\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\Strange]\n"
        "@=\"kept\"\n"
        "\n";
    writeUserHive(SettingsHive("\"future\"=dword:00000007") + "\n" + others);
    ASSERT_EQ(set("sourcePath", "/x"), RegistryStatus::Ok);
    EXPECT_EQ(ReadFile(userHive()), SettingsHive("\"future\"=dword:00000007\n"
                                                 "\"sourcePath\"=\"/x\"") +
                                        "\n" + others);
}

TEST_F(RegistryStore, UnreadableFileReadsAsEmptyAndIsKeptAsideBeforeItIsReplaced) {
    const std::string hives[] = {
        std::string("\x7f"
                    "ELF\x02\0\0\0garbage",
                    15),
        SettingsHive("\"sourcePath\"=\"/srv/sc"),  // cut off in the middle of a line
        "[HKEY_CURRENT_USER\\Software\\Tandrel\\Quillrun]\n\"user\"=\"no header\"\n",
    };
    for (const std::string& hive : hives) {
        writeUserHive(hive);
        RegistryKey key;
        EXPECT_EQ(OpenRegistryKey(RegistryHive::CurrentUser, kKey, key), RegistryStatus::NotFound);
        EXPECT_EQ(ReadFile(userHive()), hive) << "a read never changes the file";

        ASSERT_EQ(set("user", "new"), RegistryStatus::Ok);
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

TEST_F(RegistryStore, HiveThatCannotBeReadIsNeverReplaced) {
    MakeFolders(userHive());  // a folder where the file should be
    EXPECT_EQ(set("user", "x"), RegistryStatus::Failed);
    EXPECT_TRUE(std::filesystem::is_directory(userHive()));
}

TEST_F(RegistryStore, LinkedHiveStaysLinked) {
    const std::string target = m_tree.path("dotfiles/user.reg");
    WriteFile(target, SettingsHive("\"user\"=\"old\""), false);
    MakeFolders(configHome() + "/quillrun");
    std::filesystem::create_symlink(target, userHive());
    ASSERT_EQ(set("user", "new"), RegistryStatus::Ok);
    EXPECT_TRUE(std::filesystem::is_symlink(userHive()));
    EXPECT_EQ(ReadFile(target), SettingsHive("\"user\"=\"new\"") + "\n");
}

TEST_F(RegistryStore, UserHiveFallsBackToTheHomeFolder) {
    for (const std::optional<std::string>& configHome :
         {std::optional<std::string>(), std::optional<std::string>(""),
          std::optional<std::string>("relative/config")}) {
        setVariable("XDG_CONFIG_HOME", configHome);
        ASSERT_EQ(set("user", configHome.value_or("unset")), RegistryStatus::Ok);
        EXPECT_EQ(settingsValues().size(), 0u) << "nothing lands in the test's config folder";
        const std::string inHome = ReadFile(m_tree.path("home/.config/quillrun/user.reg"));
        EXPECT_NE(inHome.find("\"user\"=\"" + configHome.value_or("unset") + "\""),
                  std::string::npos);
    }
}

TEST_F(RegistryStore, MachineHiveIsReadFromTheFirstFolderThatHasOne) {
    const std::string key = "Software\\Vendor\\Tool";
    auto readDefault = [&] {
        RegistryKey opened;
        std::array<char, 260> buffer{};
        std::uint32_t size = buffer.size();
        if (OpenRegistryKey(RegistryHive::LocalMachine, key, opened) != RegistryStatus::Ok ||
            opened.queryValue("", nullptr, buffer.data(), &size) != RegistryStatus::Ok) {
            return std::string("<none>");
        }
        return std::string(buffer.data(), size);
    };
    WriteFile(machineHive(1), "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\" + key + "]\n@=\"second\"\n",
              false);
    EXPECT_EQ(readDefault(), "second");

    // Installing writes to the first folder, which then shadows the second.
    ASSERT_TRUE(platform::WriteMachineDefaultValue(key, "first"));
    EXPECT_TRUE(Exists(machineHive(0)));
    EXPECT_EQ(modeOf(machineHive(0)), 0644u);
    EXPECT_EQ(readDefault(), "first");

    // Empty and relative entries are skipped.
    setVariable("XDG_CONFIG_DIRS", ":relative:" + m_tree.path("xdg-b"));
    EXPECT_EQ(readDefault(), "second");
}

TEST_F(RegistryStore, TwoInstancesWritingAtOnceLoseNothing) {
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
