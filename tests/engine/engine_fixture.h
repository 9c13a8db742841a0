#pragma once

#include <gtest/gtest.h>

#include "engine/page_stats.h"
#include "engine/quillrun_engine.h"
#include "support/recording_host.h"
#include "support/temp_tree.h"

namespace quillrun::test {

// An engine over a fresh source and destination tree, with the scripted reader as its reading
// program and the log file inside the tree.
class EngineTest : public ::testing::Test {
  protected:
    EngineTest() : engine(host) {
        source = tree.makeFolder("in");
        destination = tree.makeFolder("out");
        engine.settings().sourcePath = source;
        engine.settings().destPath = destination;
        engine.SetReaderPath(std::string("\"") + SCRIPTED_READER_PATH + "\"");
        engine.settings().logPath = tree.path("activity.log");
    }

    // The default template plus options for the scripted reader.
    void useTemplate(const std::string& extra) {
        engine.settings().commandArgs = std::string(kDefaultCommandArgs) + " " + extra;
    }

    // The log without its time stamps, one message per element.
    std::vector<std::string> logMessages() const {
        std::vector<std::string> messages;
        std::size_t start = 0;
        for (std::size_t end; (end = host.log.find("\r\n", start)) != std::string::npos;
             start = end + 2) {
            messages.push_back(host.log.substr(start + 11, end - start - 11));
        }
        return messages;
    }

    TempTree tree;
    RecordingHost host;
    QuillrunEngine engine;
    std::string source;
    std::string destination;
};

}  // namespace quillrun::test
