// Quillrun finds orlavex through its registration and drives it over a tree of scans.
#include <stdlib.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "engine/conversion_job.h"
#include "engine/engine_fixture.h"
#include "engine/image_search.h"
#include "engine/page_stats.h"
#include "orlavex/orlavex_runner.h"
#include "orlavex/test_pages.h"
#include "settings/reader_location.h"
#include "support/background_process.h"
#include "support/temp_tree.h"

namespace orlavex::test {
namespace {

using quillrun::test::TempTree;

// Points this process's registry at folders of the test's own, and restores the environment.
class ScopedConfigFolders {
  public:
    explicit ScopedConfigFolders(const TempTree& tree)
        : m_machine(tree.makeFolder("config/machine")), m_user(tree.makeFolder("config/user")) {
        Remember("XDG_CONFIG_DIRS", m_savedDirs);
        Remember("XDG_CONFIG_HOME", m_savedHome);
        ::setenv("XDG_CONFIG_DIRS", m_machine.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", m_user.c_str(), 1);
    }
    ~ScopedConfigFolders() {
        Restore("XDG_CONFIG_DIRS", m_savedDirs);
        Restore("XDG_CONFIG_HOME", m_savedHome);
    }
    ScopedConfigFolders(const ScopedConfigFolders&) = delete;
    ScopedConfigFolders& operator=(const ScopedConfigFolders&) = delete;

    std::vector<std::string> environment() const {
        return {"XDG_CONFIG_DIRS=" + m_machine, "XDG_CONFIG_HOME=" + m_user};
    }
    const std::string& machineFolder() const { return m_machine; }

  private:
    static void Remember(const char* name, std::optional<std::string>& saved) {
        if (const char* value = std::getenv(name)) {
            saved = value;
        }
    }
    static void Restore(const char* name, const std::optional<std::string>& saved) {
        if (saved) {
            ::setenv(name, saved->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }

    std::string m_machine;
    std::string m_user;
    std::optional<std::string> m_savedDirs;
    std::optional<std::string> m_savedHome;
};

TEST(OrlavexRegistration, RegisterWritesTheMachineHiveThatQuillrunLocatesTheReaderBy) {
    TempTree tree;
    const ScopedConfigFolders config(tree);
    ASSERT_EQ(quillrun::LocateReader(), std::nullopt);

    const RunResult run = RunOrlavex({"-register"}, -1, config.environment());
    ASSERT_TRUE(run.succeeded()) << run.standardError;

    const std::string executable = std::filesystem::canonical(ORLAVEX_PATH).string();
    EXPECT_EQ(quillrun::LocateReader(), "\"" + executable + "\"");
    EXPECT_TRUE(std::filesystem::exists(config.machineFolder() + "/quillrun/machine.reg"));
}

TEST(OrlavexRegistration, RegisterTakesNoOtherOption) {
    TempTree tree;
    const ScopedConfigFolders config(tree);
    const RunResult run = RunOrlavex({"-register", "-x"}, -1, config.environment());
    EXPECT_TRUE(run.exitedWith(2));
    EXPECT_EQ(quillrun::LocateReader(), std::nullopt);
}

class QuillrunWithOrlavex : public ::testing::Test {
  protected:
    QuillrunWithOrlavex() {
        settings.sourcePath = tree.makeFolder("scans");
        settings.destPath = tree.makeFolder("documents");
    }

    // Scans arrive complete: they are back-dated past the time in which a file counts as being
    // written.
    std::string addScan(const std::string& relative, const std::vector<const Lines*>& pages) {
        const std::string path = tree.path("scans/" + relative);
        quillrun::test::MakeFolders(std::filesystem::path(path).parent_path().string());
        std::vector<PixPtr> images;
        std::vector<Pix*> raw;
        for (const Lines* text : pages) {
            images.push_back(ScanOf(*text));
            raw.push_back(images.back().get());
        }
        WriteTiff(path, raw);
        quillrun::test::BackdateFile(path);
        return path;
    }

    std::string addPdf(const std::string& relative, const std::vector<Lines>& pages) {
        const std::string path = tree.path("scans/" + relative);
        quillrun::test::WriteFile(path, MakeTextPdf(pages));
        return path;
    }

    // Converts one image after the other until the search finds none.
    void workUntilIdle() {
        quillrun::ImageSearch search(settings.sourcePath, settings.destPath, claims);
        for (int job = 0; job < 10; ++job) {
            const std::optional<quillrun::Candidate> candidate = search.Next();
            if (!candidate) {
                return;
            }
            pageStats.AppendDocument(
                quillrun::ConversionJob(settings, *candidate, readerPath, claims, observer)
                    .Run()
                    .statistics);
        }
        FAIL() << "the search found more images than there are";
    }
    std::string log() const {
        std::string lines;
        for (const std::string& message : observer.messages) {
            lines += message + "\n";
        }
        return lines;
    }

    TempTree tree;
    quillrun::Settings settings;
    const std::string readerPath = std::string("\"") + ORLAVEX_PATH + "\"";
    quillrun::ImageClaims claims;
    quillrun::test::RecordingObserver observer;
    quillrun::PageStatsTable pageStats;
};

TEST_F(QuillrunWithOrlavex, TreeOfScansBecomesAMirroredTreeOfSearchableDocuments) {
    addScan("2025/march/letter.tif", {&FoxText(), &HarbourText()});
    addPdf("2025/memo.pdf", {LedgerText()});

    workUntilIdle();

    const std::string letter = tree.path("documents/2025/march/letter.orx");
    const std::string memo = tree.path("documents/2025/memo.orx");
    const std::vector<std::string> letterPages = PageTextsOfPdf(letter);
    ASSERT_EQ(letterPages.size(), 2u);
    EXPECT_LT(CharacterErrorRate(JoinLines(FoxText()), letterPages[0]), 0.02);
    EXPECT_LT(CharacterErrorRate(JoinLines(HarbourText()), letterPages[1]), 0.02);
    EXPECT_LT(CharacterErrorRate(JoinLines(LedgerText()), TextOfPdf(memo)), 0.02);
    // The statistics were harvested and their files removed; nothing else was left.
    EXPECT_EQ(FolderNames(tree.path("documents/2025")),
              (std::vector<std::string>{"march", "memo.orx"}));
    EXPECT_EQ(FolderNames(tree.path("documents/2025/march")),
              std::vector<std::string>{"letter.orx"});

    ASSERT_EQ(pageStats.size(), 3u);
    for (const quillrun::PageStats& page : pageStats) {
        EXPECT_GT(page.m_characters, 100);
        EXPECT_GE(page.m_confidence, 95.0F) << pageStats.fileName(page) << " page " << page.m_page;
    }
    const std::string lines = log();
    EXPECT_NE(lines.find(letter + " has been created.\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("It contains 2 pages.\n"), std::string::npos);
    EXPECT_NE(lines.find(memo + " has been created.\n"), std::string::npos);
    EXPECT_NE(lines.find("It contains 1 page.\n"), std::string::npos);
    EXPECT_EQ(lines.find("poorly recognized"), std::string::npos);
}

TEST_F(QuillrunWithOrlavex, StopEndsTheReaderWithoutDocumentOrTemporaryFile) {
    const std::string scan = addScan("box/page.tif", {&FoxText()});
    observer.stopReader = true;

    workUntilIdle();

    EXPECT_NE(
        log().find("The reading program was stopped by the user while converting " + scan + "."),
        std::string::npos)
        << log();
    EXPECT_EQ(FolderNames(tree.path("documents/box")), std::vector<std::string>{"page.bad"});
}

}  // namespace
}  // namespace orlavex::test
