#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "engine/conversion_job.h"
#include "engine/image_claims.h"
#include "engine/image_search.h"
#include "engine/job_observer.h"
#include "platform/this_process.h"
#include "settings/settings.h"
#include "support/background_process.h"
#include "support/temp_tree.h"

namespace quillrun::test {

// A process of this boot that has ended, as an abandoned claim names it.
inline platform::ProcessIdentity EndedProcess() {
    platform::ProcessIdentity identity = platform::ThisProcess();
    BackgroundProcess ended({SCRIPTED_READER_PATH});
    identity.pid = ended.pid();
    ended.wait();
    return identity;
}

// A job observer without a display: it keeps the log messages, and ends the reading program when
// the test says so.
class RecordingObserver : public JobObserver {
  public:
    void Log(const std::string& message) override { messages.push_back(message); }
    platform::WaitVerdict ReaderRunning(const std::string& image,
                                        std::chrono::milliseconds) override {
        runningImages.push_back(image);
        std::error_code error;
        const bool stop = stopReader && (stopOnceExists.empty() ||
                                         std::filesystem::exists(stopOnceExists, error));
        return stop ? platform::WaitVerdict::EndProgram : platform::WaitVerdict::KeepWaiting;
    }
    void ReaderEnded() override { ++readerEnds; }
    bool StopRequested() const override { return stopRequested; }

    std::vector<std::string> messages;
    std::vector<std::string> runningImages;
    int readerEnds = 0;
    bool stopReader = false;
    // When set, Stop waits until this file exists: a reader that is slow to start (a sanitizer
    // build, a loaded machine) would otherwise be stopped before it wrote anything.
    std::string stopOnceExists;
    bool stopRequested = false;
};

// The engine's parts over a fresh source and destination tree, with the scripted reader as the
// reading program.
class EngineTest : public ::testing::Test {
  protected:
    EngineTest() : source(tree.makeFolder("in")), destination(tree.makeFolder("out")) {
        settings.sourcePath = source;
        settings.destPath = destination;
    }

    // The default template plus options for the scripted reader.
    void useTemplate(const std::string& extra) {
        settings.commandArgs = std::string(kDefaultCommandArgs) + " " + extra;
    }

    // The search over the roots the settings name; made again when they change.
    ImageSearch& search() {
        if (!m_search || m_searchRoots != std::pair(settings.sourcePath, settings.destPath)) {
            m_search.emplace(settings.sourcePath, settings.destPath, claims);
            m_searchRoots = {settings.sourcePath, settings.destPath};
        }
        return *m_search;
    }
    std::optional<Candidate> findNext() { return search().Next(); }

    JobResult convert(const Candidate& candidate) {
        return ConversionJob(settings, candidate, readerPath, claims, observer).Run();
    }
    // The next image the search finds, converted; nothing when there is none.
    std::optional<JobResult> convertNext() {
        const std::optional<Candidate> candidate = findNext();
        return candidate ? std::optional<JobResult>(convert(*candidate)) : std::nullopt;
    }

    TempTree tree;
    std::string source;
    std::string destination;
    Settings settings;
    std::string readerPath = std::string("\"") + SCRIPTED_READER_PATH + "\"";
    ImageClaims claims;
    RecordingObserver observer;

  private:
    std::optional<ImageSearch> m_search;
    std::pair<std::string, std::string> m_searchRoots;
};

}  // namespace quillrun::test
