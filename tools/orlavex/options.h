#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orlavex {

struct Options {
    std::string inputPath;
    std::string outputPath;
    std::string statisticsPath;  // empty: no statistics file is written
    std::string languages = "eng";
    bool deleteInput = false;
    bool twoPage = false;
    bool autoRotate = true;
    bool despeckle = true;
    bool deskew = true;
    bool quiet = false;  // -nomessage: only failures reach standard error
    int jobs = 0;        // -jobs:N, pages recognised at once; 0: one per processor
};

enum class Command { Convert, Register };

struct ParsedArguments {
    Command command = Command::Convert;
    Options options;
    std::string error;  // set when the arguments are refused; never quotes an option's value
    bool ok() const { return error.empty(); }
};

// Reads the argument vector without the program name. Option names compare without regard to
// ASCII case; later force options (-rotate0 after -autorotate) override earlier ones.
ParsedArguments ParseArguments(const std::vector<std::string>& arguments);

}  // namespace orlavex
