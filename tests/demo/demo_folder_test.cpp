#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include <leptonica/allheaders.h>
#include <poppler/cpp/poppler-document.h>

#include "settings/reader_location.h"
#include "settings/settings_check.h"
#include "settings/settings_environment.h"
#include "settings/settings_store.h"
#include "support/background_process.h"

namespace quillrun::test {
namespace {

namespace fs = std::filesystem;

// Pages of a scan as a reading program finds them (none when it cannot read the file), and the
// resolution of a TIFF file's first.
std::pair<int, int> PagesOf(const fs::path& scan) {
    if (scan.extension() == ".pdf") {
        const std::unique_ptr<poppler::document> pdf(poppler::document::load_from_file(scan));
        return {pdf ? pdf->pages() : 0, 0};
    }
    int count = 0;
    const std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(scan.c_str(), "rb"), std::fclose);
    Pix* first =
        file && tiffGetCount(file.get(), &count) == 0 ? pixReadTiff(scan.c_str(), 0) : nullptr;
    const int resolution = first != nullptr ? pixGetXRes(first) : 0;
    pixDestroy(&first);
    return {resolution != 0 ? count : 0, resolution};
}

class DemoFolder : public SettingsEnvironment {
  protected:
    DemoFolder() { setMsgSeverity(L_SEVERITY_NONE); }

    int makeDemo() const {
        BackgroundProcess demo({QUILLRUN_DEMO_PATH, "--make-only", folder()});
        return demo.wait();
    }
    std::string folder() const { return m_tree.path(m_name); }
    std::map<std::string, fs::file_time_type> scans() const {
        std::map<std::string, fs::file_time_type> scans;
        for (const auto& entry : fs::recursive_directory_iterator(folder() + "/scans")) {
            if (entry.is_regular_file()) {
                scans[entry.path().string()] = entry.last_write_time();
            }
        }
        return scans;
    }
    // Settings keep readable text in quotes and escaped, and any other byte for byte in hex.
    std::string m_name = "demo";

    // As the demo's Quillrun reads them.
    Settings demoSettings() {
        setVariable("XDG_CONFIG_HOME", folder() + "/config");
        setVariable("XDG_CONFIG_DIRS", folder() + "/machine");
        Settings settings;
        LoadSettings(settings);
        return settings;
    }
};

TEST_F(DemoFolder, HoldsADozenScannedPagesAnEmptyDestinationAndSettingsOfItsOwn) {
    m_name = "d\xc3\xa9mo";
    ASSERT_EQ(makeDemo(), 0);
    std::set<std::string> subfolders;
    std::set<std::string> kinds;
    int pages = 0;
    int unreadable = 0;
    for (const auto& [scan, time] : scans()) {
        const auto [count, resolution] = PagesOf(scan);
        subfolders.insert(fs::path(scan).parent_path().filename());
        kinds.insert(fs::path(scan).extension().string() + (count > 1 ? " pages" : " page"));
        pages += count;
        unreadable += count == 0 ? 1 : 0;
        EXPECT_TRUE(resolution == 0 || (resolution >= 200 && resolution <= 300)) << scan;
    }
    EXPECT_TRUE(subfolders.size() == 2 || subfolders.size() == 3);
    EXPECT_EQ(subfolders.count("scans"), 0U) << "every scan lies in a subfolder";
    EXPECT_EQ(kinds, (std::set<std::string>{".pdf page", ".pdf pages", ".tif page", ".tif pages"}));
    EXPECT_TRUE(pages >= 10 && pages <= 14) << pages;
    EXPECT_EQ(unreadable, 1);
    EXPECT_TRUE(fs::is_empty(folder() + "/documents"));
    EXPECT_FALSE(fs::exists(configHome())) << "the user's own settings are left alone";

    const Settings settings = demoSettings();
    EXPECT_EQ(settings.sourcePath, folder() + "/scans");
    EXPECT_EQ(settings.destPath, folder() + "/documents");
    EXPECT_EQ(settings.logPath, folder() + "/quillrun.log");
    EXPECT_TRUE(settings.writeLog);
    EXPECT_EQ(CheckSettings(settings), std::nullopt);
    EXPECT_EQ(LocateReader(), "\"" + std::string(ORLAVEX_PATH) + "\"");
}

TEST_F(DemoFolder, StartsAfreshEveryTimeAndMakesThePagesOnlyWhenTheyAreNotAsMade) {
    m_name = "demo \\ folder";
    ASSERT_EQ(makeDemo(), 0);
    const auto made = scans();
    const std::string settings = ReadFile(folder() + "/config/quillrun/user.reg");
    WriteFile(folder() + "/documents/legal/gpl-3.orx", "a document of the last run");
    WriteFile(folder() + "/quillrun.log", "a line of the last run");
    WriteFile(folder() + "/config/quillrun/user.reg", SettingsHive("\"destPath\"=\"/elsewhere\""));
    ASSERT_EQ(makeDemo(), 0);
    EXPECT_EQ(scans(), made);
    EXPECT_TRUE(fs::is_empty(folder() + "/documents"));
    EXPECT_FALSE(fs::exists(folder() + "/quillrun.log"));
    EXPECT_EQ(ReadFile(folder() + "/config/quillrun/user.reg"), settings);

    const std::string spoilt = made.begin()->first;
    const auto size = fs::file_size(spoilt);
    fs::resize_file(spoilt, size / 2);
    ASSERT_EQ(makeDemo(), 0);
    EXPECT_EQ(fs::file_size(spoilt), size);
    EXPECT_EQ(demoSettings().sourcePath, folder() + "/scans");
}

TEST_F(DemoFolder, AFolderHoldingAnythingElseIsLeftAlone) {
    m_tree.writeFile("demo/notes.txt", "mine");
    EXPECT_NE(makeDemo(), 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace quillrun::test
