#include "settings/reader_location.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/registry.h"
#include "settings/settings_environment.h"

namespace quillrun::test {
namespace {

class ReaderLocation : public SettingsEnvironment {
  protected:
    // The quoted path LocateReader finds, or "<not found>".
    static std::string locate() { return LocateReader().value_or("<not found>"); }

    void registerRaw(int folder, const std::string& valueLines) const {
        WriteFile(machineHive(folder),
                  std::string("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\") + kReaderRegistrationKey +
                      "]\n" + valueLines + "\n",
                  false);
    }
};

TEST_F(ReaderLocation, FindsTheRegisteredPathAndQuotesIt) {
    const std::string program = m_tree.writeFile("bin/orlavex");
    const std::string spaced = m_tree.writeFile("Program Files/orlavex");
    const std::string folder = m_tree.makeFolder("reader folder");
    const std::string literalVariable = m_tree.writeFile("bin/$HOME");
    m_tree.writeFile("home/orlavex");

    struct Case {
        std::string registered;
        std::string expected;
    };
    const Case cases[] = {
        {program, "\"" + program + "\""},
        {spaced, "\"" + spaced + "\""},
        {folder, "\"" + folder + "\""},
        {m_tree.path("bin/missing"), "<not found>"},
        {"\"" + program + "\"", "<not found>"},  // quotes are part of the name
        {"$HOME/orlavex", "<not found>"},        // nothing is expanded
        {literalVariable, "\"" + literalVariable + "\""},
        {"", "<not found>"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(platform::WriteMachineDefaultValue(kReaderRegistrationKey, c.registered));
        EXPECT_EQ(locate(), c.expected) << c.registered;
    }
}

TEST_F(ReaderLocation, RegisteredPathIsReadIntoABufferOf260Bytes) {
    const std::string program = m_tree.writeFile("bin/orlavex");
    // Paths of exactly 260 and 261 bytes that both exist.
    std::string folder = m_tree.root();
    while (folder.size() < 200) {
        folder += "/nested-folder";
    }
    const std::string path260 = folder + "/" + std::string(260 - folder.size() - 1, 'a');
    const std::string path261 = path260 + "b";
    WriteFile(path260, "x", false);
    WriteFile(path261, "x", false);

    ASSERT_TRUE(platform::WriteMachineDefaultValue(kReaderRegistrationKey, path260));
    EXPECT_EQ(locate(), "\"" + path260 + "\"");
    ASSERT_TRUE(platform::WriteMachineDefaultValue(kReaderRegistrationKey, path261));
    EXPECT_EQ(locate(), "<not found>");
    // The path ends at the first zero byte that the read returns.
    registerRaw(0, "@=" + HexText(program + std::string(1, '\0') + "junk"));
    EXPECT_EQ(locate(), "\"" + program + "\"");
}

TEST_F(ReaderLocation, NeedsTheKeyAndItsDefaultValue) {
    EXPECT_EQ(locate(), "<not found>");
    registerRaw(0, "\"Path\"=\"" + m_tree.root() + "\"");
    EXPECT_EQ(locate(), "<not found>");
    // The first folder that has a machine hive decides, even when the next one would succeed.
    registerRaw(1, "@=\"" + m_tree.root() + "\"");
    EXPECT_EQ(locate(), "<not found>");
    std::filesystem::remove(machineHive(0));
    EXPECT_EQ(locate(), "\"" + m_tree.root() + "\"");
}

}  // namespace
}  // namespace quillrun::test
