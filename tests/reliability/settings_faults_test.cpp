#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "settings/settings_environment.h"
#include "settings/settings_store.h"

namespace quillrun::test {
namespace {

// Shows nothing; the members are what matters here.
class SilentView : public SettingsView {
  public:
    explicit SilentView(QuillrunMembers& members) : m_members(members) {}
    void SetFieldText(int controlId, const std::string& text) override {
        if (controlId == kSourcePathEdit) {
            m_members.m_sourcePath = text;
        }
    }
    void SetLogActivityChecked(bool) override {}
    void UpdateLogControls() override {}

  private:
    QuillrunMembers& m_members;
};

class SettingsFaults : public SettingsEnvironment {
  protected:
    QuillrunMembers load() {
        QuillrunMembers members;
        SilentView view(members);
        LoadSettings(members, view);
        return members;
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

    QuillrunMembers saved() const {
        QuillrunMembers members;
        members.m_sourcePath = "/srv/new";
        members.m_running = 1;
        return members;
    }
};

TEST_F(SettingsFaults, TruncatedHiveStartsFromDefaultsAndIsKeptAsideWhole) {
    const std::string whole = SettingsHive("\"sourcePath\"=\"/srv/scans\"\n\"user\"=\"ann\"");
    const std::string truncated = whole.substr(0, whole.find("ann") + 1);
    writeUserHive(truncated);
    EXPECT_EQ(load().m_sourcePath, "");
    SaveSettings(saved());
    const auto aside = keptAside();
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(ReadFile(aside.front()), truncated);
    EXPECT_EQ(load().m_sourcePath, "/srv/new");
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
    EXPECT_EQ(load().m_sourcePath, "");
    SaveSettings(saved());
    const auto aside = keptAside();
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(std::filesystem::file_size(aside.front()), text.size());
    EXPECT_EQ(load().m_sourcePath, "/srv/new");
}

TEST_F(SettingsFaults, FolderOrUnreadableFileInPlaceOfTheHiveLosesNothing) {
    std::filesystem::create_directories(userHive() + "/something");
    EXPECT_EQ(load().m_sourcePath, "");
    SaveSettings(saved());
    EXPECT_TRUE(std::filesystem::is_directory(userHive() + "/something"));

    if (::geteuid() != 0) {
        std::filesystem::remove_all(userHive());
        writeUserHive(SettingsHive("\"sourcePath\"=\"/srv/scans\""));
        ASSERT_EQ(::chmod(userHive().c_str(), 0), 0);
        EXPECT_EQ(load().m_sourcePath, "");
        SaveSettings(saved());
        ::chmod(userHive().c_str(), 0600);
        EXPECT_EQ(load().m_sourcePath, "/srv/scans");
    }
}

}  // namespace
}  // namespace quillrun::test
