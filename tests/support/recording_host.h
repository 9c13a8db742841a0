#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/engine_host.h"

namespace quillrun::test {

// An engine host without a display: it keeps what the engine shows and lets tests deliver the
// timer's ticks by hand.
class RecordingHost : public EngineHost {
  public:
    void SetStatusText(const std::string& text) override { statuses.push_back(text); }
    void AppendLogText(const std::string& text) override { log += text; }
    unsigned ArmTimer(unsigned timerId, int intervalMs) override {
        armedIntervals.push_back(intervalMs);
        timerArmed = true;
        return armResult != 0 ? armResult : timerId;
    }
    void KillTimer(unsigned timerId) override {
        killedTimers.push_back(timerId);
        timerArmed = false;
    }
    void EnableStatisticsButton() override { ++statisticsEnabled; }
    platform::WaitVerdict ReaderRunning(const std::string& image,
                                        std::chrono::milliseconds) override {
        runningImages.push_back(image);
        std::error_code error;
        const bool stop = stopReader && (stopOnceExists.empty() ||
                                         std::filesystem::exists(stopOnceExists, error));
        return stop ? platform::WaitVerdict::EndProgram : platform::WaitVerdict::KeepWaiting;
    }
    void ReaderEnded() override { ++readerEnds; }

    std::string status() const { return statuses.empty() ? std::string() : statuses.back(); }
    int lastInterval() const { return armedIntervals.empty() ? 0 : armedIntervals.back(); }

    std::vector<std::string> statuses;
    std::string log;
    std::vector<int> armedIntervals;
    std::vector<unsigned> killedTimers;
    std::vector<std::string> runningImages;
    bool timerArmed = false;
    unsigned armResult = 0;
    int statisticsEnabled = 0;
    int readerEnds = 0;
    bool stopReader = false;
    // When set, Stop waits until this file exists: a reader that is slow to start (a sanitizer
    // build, a loaded machine) would otherwise be stopped before it wrote anything.
    std::string stopOnceExists;
};

}  // namespace quillrun::test
