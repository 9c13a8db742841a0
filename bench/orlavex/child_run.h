#pragma once

#include <string>
#include <vector>

namespace orlavex::bench {

// What one run of a program cost, as the kernel counted it.
struct ChildRun {
    double wallSeconds = 0.0;
    double cpuSeconds = 0.0;  // user and system time
    long maxResidentKb = 0;
    int status = -1;  // as waitpid reports it
    bool succeeded() const;
};

// Runs the program (arguments[0], a path) with standard input from /dev/null and its output to
// output (or /dev/null), never through a shell, and waits for it.
ChildRun RunChild(const std::vector<std::string>& arguments, const std::string& output = "");

double Median(std::vector<double> values);

}  // namespace orlavex::bench
