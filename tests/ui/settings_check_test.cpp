// The check of the settings before the work starts, without a display.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "engine/settings_check.h"
#include "support/temp_tree.h"

namespace quillrun::test {
namespace {

TEST(CheckSettings, NamesTheFirstProblemInTheOrderTheUserFixesThem) {
    TempTree tree;
    const std::string scans = tree.makeFolder("scans");
    const std::string documents = tree.makeFolder("documents");
    const std::string file = tree.writeFile("notes.txt");
    std::filesystem::create_directory_symlink(scans, tree.path("linked"));
    const struct {
        std::string source, destination;
        int writeLog;
        std::string logPath;
        std::optional<std::string> problem;
    } cases[] = {
        {"", "", 1, "", kNoSourceMessage},
        {"", documents, 0, "", kNoSourceMessage},
        {file, "", 1, "", kBadSourceMessage},
        {tree.path("missing"), documents, 0, "", kBadSourceMessage},
        {scans, "", 1, "", kNoDestinationMessage},
        {scans, file, 1, "", kBadDestinationMessage},
        {scans, tree.path("missing"), 1, "x", kBadDestinationMessage},
        {scans, documents, 1, "", kNoLogPathMessage},
        {scans, documents, 7, "", kNoLogPathMessage},
        {scans, documents, 0, "", std::nullopt},
        {scans, documents, 1, tree.path("no/such/folder/log.txt"), std::nullopt},
        {scans + "/", documents + "/", 1, "log", std::nullopt},
        {tree.path("linked"), documents, 0, "", std::nullopt},
        {scans, scans, 0, "", std::nullopt},
    };
    for (const auto& c : cases) {
        QuillrunMembers members;
        members.m_sourcePath = c.source;
        members.m_destPath = c.destination;
        members.m_writeLog = c.writeLog;
        members.m_logPath = c.logPath;
        members.m_commandArgs.clear();  // not examined
        EXPECT_EQ(CheckSettings(members), c.problem)
            << c.source << " | " << c.destination << " | " << c.writeLog << " | " << c.logPath;
    }
}

}  // namespace
}  // namespace quillrun::test
