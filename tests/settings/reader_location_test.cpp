#include "settings/reader_location.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <sys/stat.h>

#include "hive/hive.h"
#include "settings/settings_environment.h"

namespace quillrun::test {
namespace {

class ReaderLocation : public SettingsEnvironment {
  protected:
    // The quoted path LocateReader finds, or "<not found>".
    static std::string locate() { return LocateReader().value_or("<not found>"); }

    std::string writeProgram(const std::string& relative) const {
        const std::string path = m_tree.writeFile(relative, "#!/bin/sh\n");
        EXPECT_EQ(::chmod(path.c_str(), 0755), 0);
        return path;
    }

    void registerRaw(int folder, const std::string& valueLines) const {
        WriteFile(machineHive(folder),
                  std::string("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\") + kReaderRegistrationKey +
                      "]\n" + valueLines + "\n",
                  false);
    }
};

// Only a program this user may run counts as found: a folder or a plain file would be "found"
// only for the first job to fail on it.
TEST_F(ReaderLocation, FindsTheRegisteredProgramAndQuotesIt) {
    const std::string program = writeProgram("bin/orlavex");
    const std::string spaced = writeProgram("Program Files/orlavex");
    const std::string folder = m_tree.makeFolder("reader folder");
    const std::string plainFile = m_tree.writeFile("bin/orlavex.txt");
    const std::string literalVariable = writeProgram("bin/$HOME");
    writeProgram("home/orlavex");

    struct Case {
        std::string registered;
        std::string expected;
    };
    const Case cases[] = {
        {program, "\"" + program + "\""},
        {spaced, "\"" + spaced + "\""},
        {folder, "<not found>"},
        {plainFile, "<not found>"},
        {m_tree.path("bin/missing"), "<not found>"},
        {"\"" + program + "\"", "<not found>"},  // quotes are part of the name
        {"$HOME/orlavex", "<not found>"},        // nothing is expanded
        {literalVariable, "\"" + literalVariable + "\""},
        {"", "<not found>"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(hive::WriteMachineDefaultValue(kReaderRegistrationKey, c.registered));
        EXPECT_EQ(locate(), c.expected) << c.registered;
    }
}

TEST_F(ReaderLocation, RegisteredPathOfAnyLengthIsRead) {
    const std::string program = writeProgram("bin/orlavex");
    // A program installed deep down, far beyond the 260 bytes a path once had to fit.
    std::string folder = m_tree.root();
    while (folder.size() < 1000) {
        folder += "/nested-folder";
    }
    const std::string deep = folder + "/orlavex";
    MakeFolders(folder);
    WriteFile(deep, "x", false);
    ASSERT_EQ(::chmod(deep.c_str(), 0755), 0);

    ASSERT_TRUE(hive::WriteMachineDefaultValue(kReaderRegistrationKey, deep));
    EXPECT_EQ(locate(), "\"" + deep + "\"");
    // The path ends at the first zero byte that the read returns.
    registerRaw(0, "@=" + HexText(program + std::string(1, '\0') + "junk"));
    EXPECT_EQ(locate(), "\"" + program + "\"");
}

TEST_F(ReaderLocation, NeedsTheKeyAndItsDefaultValue) {
    const std::string program = writeProgram("bin/orlavex");
    EXPECT_EQ(locate(), "<not found>");
    registerRaw(0, "\"Path\"=\"" + program + "\"");
    EXPECT_EQ(locate(), "<not found>");
    // The first folder that has a machine hive decides, even when the next one would succeed.
    registerRaw(1, "@=\"" + program + "\"");
    EXPECT_EQ(locate(), "<not found>");
    std::filesystem::remove(machineHive(0));
    EXPECT_EQ(locate(), "\"" + program + "\"");
}

}  // namespace
}  // namespace quillrun::test
