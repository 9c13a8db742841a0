#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/recording_view.h"
#include "app/work_cycle.h"
#include "support/temp_tree.h"

namespace quillrun::test {

// The dialog's work cycle over a fresh source and destination tree, with the scripted reader as
// the reading program and the log file inside the tree.
class WorkCycleTest : public ::testing::Test {
  protected:
    WorkCycleTest() : source(tree.makeFolder("in")), destination(tree.makeFolder("out")) {
        settings.sourcePath = source;
        settings.destPath = destination;
        settings.logPath = tree.path("activity.log");
        cycle.SetReaderPath(std::string("\"") + SCRIPTED_READER_PATH + "\"");
    }

    void useTemplate(const std::string& extra) {
        settings.commandArgs = std::string(kDefaultCommandArgs) + " " + extra;
    }
    // Lets the cycle under way end, as the dialog's event loop would.
    void settle() {
        ASSERT_TRUE(view.runPostedUntil([this] { return !cycle.cycleRunning(); }));
    }
    void start() {
        cycle.Start();
        settle();
    }
    void tick() {
        cycle.OnTimer();
        settle();
    }
    std::string status() const {
        return view.text.contains(kStatusEdit) ? view.text.at(kStatusEdit) : "";
    }
    // The log without its time stamps, one message per element.
    std::vector<std::string> logMessages() const {
        std::vector<std::string> messages;
        for (std::size_t start = 0, end; (end = view.log.find("\r\n", start)) != std::string::npos;
             start = end + 2) {
            messages.push_back(view.log.substr(start + 11, end - start - 11));
        }
        return messages;
    }

    TempTree tree;
    std::string source;
    std::string destination;
    Settings settings;
    RecordingView view;
    app::WorkCycle cycle{view, settings};
};

}  // namespace quillrun::test
