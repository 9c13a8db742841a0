// quillrun-service run as users run it: with the settings the dialog saved and the scripted
// reading program; refusing what the dialog's OK refuses, several instances on one tree, a stop
// in the middle of a job, and an instance killed while it held a claim.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>

#include "hive/hive.h"
#include "registration/reader_registration.h"
#include "service/service_process.h"
#include "settings/reader_location.h"
#include "settings/settings_check.h"
#include "settings/settings_environment.h"
#include "settings/settings_store.h"
#include "support/background_process.h"

namespace quillrun::test {
namespace {

constexpr int kLongWaitMs = 60000;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

class ServiceRun : public SettingsEnvironment {
  protected:
    ServiceRun()
        : source(m_tree.makeFolder("in")),
          destination(m_tree.makeFolder("out")),
          output(m_tree.makeFolder("output")),
          tally(m_tree.path("tally.txt")),
          flag(m_tree.path("go")) {
        settings.sourcePath = source;
        settings.destPath = destination;
        settings.logPath = m_tree.path("activity.log");
    }

    void registerReader() const {
        ASSERT_TRUE(hive::WriteMachineDefaultValue(kReaderRegistrationKey, SCRIPTED_READER_PATH));
    }

    // Saved as the dialog's Cancel saves them after an accepted OK, with options for the
    // scripted reader after the default template.
    void saveSettings(const std::string& readerOptions) {
        settings.commandArgs =
            std::string(kDefaultCommandArgs) + " --tally=" + tally + readerOptions;
        SaveSettings(settings);
    }

    std::vector<std::string> destinationFiles() const {
        std::vector<std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(destination)) {
            if (entry.is_regular_file()) {
                files.push_back(entry.path().string());
            }
        }
        return files;
    }
    // Documents, and what a job leaves only while it runs (claims and statistics files).
    int countFiles(const std::function<bool(const std::string&)>& wanted) const {
        const std::vector<std::string> files = destinationFiles();
        return static_cast<int>(std::count_if(files.begin(), files.end(), wanted));
    }
    int documents() const {
        return countFiles([](const std::string& f) { return f.ends_with(".orx"); });
    }
    int jobTraces() const {
        return countFiles([](const std::string& f) { return !f.ends_with(".orx"); });
    }
    std::vector<std::string> readerStarts() const { return Lines(ReadFile(tally)); }

    Settings settings;
    const std::string source;
    const std::string destination;
    const std::string output;
    const std::string tally;
    const std::string flag;
};

TEST_F(ServiceRun, RefusesWhatTheDialogRefusesWithItsWordsAndABadCommandLineWithAReason) {
    const std::string file = m_tree.writeFile("notes.txt");
    const struct {
        bool registered;
        std::function<void(Settings&)> change;
        std::vector<std::string> arguments;
        std::string error;  // all of standard error, or its start when it ends in "..."
    } cases[] = {
        {false, [](Settings&) {}, {}, std::string(kReaderNotFoundMessage) + "\n"},
        {true, [](Settings& s) { s.sourcePath.clear(); }, {}, std::string(kNoSourceMessage) + "\n"},
        {true,
         [&](Settings& s) { s.destPath = file; },
         {"--check"},
         std::string(kBadDestinationMessage) + "\n"},
        {true, [](Settings& s) { s.logPath.clear(); }, {}, std::string(kNoLogPathMessage) + "\n"},
        {true, [](Settings&) {}, {"--jobs", "0"}, "quillrun-service: --jobs needs a whole..."},
        {true, [](Settings&) {}, {"--watch"}, "quillrun-service: unknown option --watch...."},
        {true,
         [&](Settings&) {},
         {"--page-stats", m_tree.path("missing/pages.csv")},
         "The page statistics file " + m_tree.path("missing/pages.csv") + " cannot be..."},
    };
    for (const auto& c : cases) {
        if (c.registered) {
            registerReader();
        }
        Settings changed = settings;
        c.change(changed);
        SaveSettings(changed);
        const ServiceResult result = RunService(c.arguments, output);
        EXPECT_EQ(result.status, 2) << c.error;
        if (c.error.ends_with("...")) {
            EXPECT_TRUE(result.error.starts_with(c.error.substr(0, c.error.size() - 3)))
                << result.error;
        } else {
            EXPECT_EQ(result.error, c.error);
        }
    }
    // Settings the dialog would accept: --check says where they came from, and nothing else runs.
    SaveSettings(settings);
    const ServiceResult checked = RunService({"--check"}, output);
    EXPECT_EQ(checked.status, 0);
    EXPECT_NE(checked.output.find("Settings: " + userHive() + "\n"), std::string::npos)
        << checked.output;
    EXPECT_EQ(checked.error, "");
    EXPECT_EQ(documents(), 0);
}

// A value too long to be read is named in the dialog's words: by --check, and in the log before
// the work starts.
TEST_F(ServiceRun, AValueTooLongToReadIsNamedBeforeTheWorkStarts) {
    registerReader();
    settings.user = std::string(kLongestStoredText + 1, 'u');
    saveSettings("");
    const std::string notice = "The setting user was not read: it is longer than 65536 bytes.";
    const ServiceResult checked = RunService({"--check"}, output);
    EXPECT_NE(checked.output.find("\n" + notice + "\n"), std::string::npos) << checked.output;

    ServiceProcess service({}, output, "service");
    const auto logged = [&](const std::string& text) {
        return service.standardOutput().find(text);
    };
    ASSERT_TRUE(WaitUntil([&] { return logged("Quillrun service started") != std::string::npos; }));
    service.signal(SIGTERM);
    EXPECT_EQ(service.waitForExit(), 0);
    EXPECT_LT(logged(notice), logged("Quillrun service started")) << service.standardOutput();
}

TEST_F(ServiceRun, SeveralInstancesOnOneTreeConvertEveryImageExactlyOnce) {
    registerReader();
    saveSettings("");
    std::set<std::string> images;
    for (int folder = 0; folder < 3; ++folder) {
        for (int image = 0; image < 8; ++image) {
            images.insert(m_tree.writeFile("in/box" + std::to_string(folder) + "/scan" +
                                           std::to_string(image) + ".tif"));
        }
    }
    const std::string pages = m_tree.path("pages.csv");
    std::vector<std::unique_ptr<ServiceProcess>> instances;
    for (int instance = 0; instance < 3; ++instance) {
        instances.push_back(std::make_unique<ServiceProcess>(
            std::vector<std::string>{"--jobs=2", "--page-stats", pages}, output,
            "instance-" + std::to_string(instance)));
    }
    ASSERT_TRUE(WaitUntil([&] { return documents() == 24 && jobTraces() == 0; }, kLongWaitMs));
    for (const auto& instance : instances) {
        instance->signal(SIGTERM);
    }
    for (const auto& instance : instances) {
        EXPECT_EQ(instance->waitForExit(), 0) << instance->standardError();
    }
    const std::vector<std::string> starts = readerStarts();
    EXPECT_EQ(std::set<std::string>(starts.begin(), starts.end()), images);
    EXPECT_EQ(starts.size(), images.size());
    EXPECT_EQ(jobTraces(), 0);
    // Each job's lines stay together in the log file the three share.
    const std::vector<std::string> logLines = Lines(ReadFile(settings.logPath));
    int created = 0;
    for (std::size_t i = 0; i < logLines.size(); ++i) {
        if (logLines[i].ends_with(" has been created.\r")) {
            ++created;
            ASSERT_LT(i + 1, logLines.size());
            EXPECT_TRUE(logLines[i + 1].ends_with("  It contains 1 page.\r")) << logLines[i + 1];
        }
    }
    EXPECT_EQ(created, 24);
    // One header, then one record for each document's one page.
    const std::vector<std::string> records = Lines(ReadFile(pages));
    ASSERT_EQ(records.size(), 25u);
    EXPECT_EQ(records.front(), "document,page,characters,confidence\r");
    EXPECT_EQ(std::count(records.begin(), records.end(), records.front()), 1);
}

TEST_F(ServiceRun, AStopInTheMiddleOfAJobLeavesTheImageForTheNextStart) {
    registerReader();
    saveSettings(" --wait-for=" + flag);
    m_tree.writeFile("in/page.tif");
    const std::string document = destination + "/page.orx";
    {
        ServiceProcess first({"--jobs", "1"}, output, "first");
        ASSERT_TRUE(WaitUntil([&] { return readerStarts().size() == 1; }));
        EXPECT_TRUE(Exists(destination + "/page.clm"));
        first.signal(SIGTERM);
        EXPECT_EQ(first.waitForExit(), 0);
        EXPECT_NE(first.standardOutput().find(source + "/page.tif is left for the next start"),
                  std::string::npos)
            << first.standardOutput();
    }
    EXPECT_EQ(destinationFiles(), std::vector<std::string>{});

    WriteFile(flag, "", false);
    ServiceProcess second({}, output, "second");
    ASSERT_TRUE(WaitUntil([&] { return Exists(document) && jobTraces() == 0; }));
    second.signal(SIGINT);
    EXPECT_EQ(second.waitForExit(), 0);
    EXPECT_EQ(readerStarts().size(), 2u);
    EXPECT_EQ(destinationFiles(), std::vector<std::string>{document});
}

TEST_F(ServiceRun, TheClaimOfAKilledInstanceIsTakenOverAtOnce) {
    registerReader();
    saveSettings(" --wait-for=" + flag);
    m_tree.writeFile("in/page.tif");
    {
        ServiceProcess killed({}, output, "killed");
        ASSERT_TRUE(WaitUntil([&] { return readerStarts().size() == 1; }));
        killed.signal(SIGKILL);
        EXPECT_EQ(killed.waitForExit(), std::nullopt);
    }
    ASSERT_TRUE(Exists(destination + "/page.clm"));

    ServiceProcess next({}, output, "next");
    ASSERT_TRUE(WaitUntil([&] { return readerStarts().size() == 2; }));
    EXPECT_TRUE(Exists(destination + "/page.c02"));
    WriteFile(flag, "", false);
    ASSERT_TRUE(WaitUntil([&] { return documents() == 1 && jobTraces() == 0; }));
    next.signal(SIGTERM);
    EXPECT_EQ(next.waitForExit(), 0);
    EXPECT_EQ(destinationFiles(), std::vector<std::string>{destination + "/page.orx"});
    EXPECT_NE(next.standardOutput().find(destination + "/page.orx has been created."),
              std::string::npos);
}

}  // namespace
}  // namespace quillrun::test
