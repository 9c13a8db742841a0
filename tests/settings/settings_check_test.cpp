// The check of the settings before the work starts, without a display.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "settings/settings_check.h"
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
        bool writeLog;
        std::string logPath;
        std::optional<std::string> problem;
    } cases[] = {
        {"", "", true, "", kNoSourceMessage},
        {"", documents, false, "", kNoSourceMessage},
        {file, "", true, "", kBadSourceMessage},
        {tree.path("missing"), documents, false, "", kBadSourceMessage},
        {scans, "", true, "", kNoDestinationMessage},
        {scans, file, true, "", kBadDestinationMessage},
        {scans, tree.path("missing"), true, "x", kBadDestinationMessage},
        {scans, documents, true, "", kNoLogPathMessage},
        {scans, documents, false, "", std::nullopt},
        {scans, documents, true, tree.path("no/such/folder/log.txt"), std::nullopt},
        {scans + "/", documents + "/", true, "log", std::nullopt},
        {tree.path("linked"), documents, false, "", std::nullopt},
        {scans, scans, false, "", std::nullopt},
    };
    for (const auto& c : cases) {
        Settings settings;
        settings.sourcePath = c.source;
        settings.destPath = c.destination;
        settings.writeLog = c.writeLog;
        settings.logPath = c.logPath;
        settings.commandArgs.clear();  // not examined
        EXPECT_EQ(CheckSettings(settings), c.problem)
            << c.source << " | " << c.destination << " | " << c.writeLog << " | " << c.logPath;
    }
}

}  // namespace
}  // namespace quillrun::test
