#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/process.h"
#include "support/temp_tree.h"

namespace quillrun::platform {

// A program that cannot be started, and the reason the system gives, in its own words.
struct StartFailure {
    std::string program;
    SystemErrorCode code;
    std::string message;
};

// A missing program, an empty name, a text file and a folder: what each system says of them.
std::vector<StartFailure> StartFailures(const test::TempTree& tree);

}  // namespace quillrun::platform
