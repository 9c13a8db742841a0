#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillrun::platform {

// Splits a command line into arguments: blanks outside double quotes separate arguments, a
// double-quote character opens or closes a quoted run and is dropped, nothing else is special.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

enum class WaitVerdict { KeepWaiting, EndProgram };

// Called every kWaitPollInterval while the program runs, with the time since it started.
using WaitObserver = std::function<WaitVerdict(std::chrono::milliseconds elapsed)>;

inline constexpr std::chrono::milliseconds kWaitPollInterval{50};
// After SIGTERM the program gets this long to clean up before it is killed.
inline constexpr std::chrono::seconds kTerminationGrace{5};

struct ProgramRun {
    bool started = false;
    int startError = 0;           // errno of a failed start
    bool endedOnRequest = false;  // the observer asked for the program to be ended
};

// Starts the program named by the first argument of the command line, never through a shell,
// with this program's environment and working folder and none of its descriptors except the
// standard output and error; standard input reads nothing. Waits without a time limit until the
// program has ended, or until the observer asks to end it (SIGTERM, then SIGKILL after the grace).
ProgramRun RunProgram(const std::string& commandLine, const WaitObserver& observer = {});

}  // namespace quillrun::platform
