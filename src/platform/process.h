#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system_error.h"

namespace quillrun::platform {

// Splits a command line into arguments as Windows programs split theirs: blanks outside double
// quotes separate arguments, a double-quote character opens or closes a quoted run and is
// dropped, and backslashes before a double quote escape it (2n backslashes and a quote give n
// backslashes and a quoted run's edge; 2n + 1 give n backslashes and the quote itself). Nothing
// else is special.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

enum class WaitVerdict { KeepWaiting, EndProgram };

// Called every kWaitPollInterval while the program runs, with the time since it started.
using WaitObserver = std::function<WaitVerdict(std::chrono::milliseconds elapsed)>;

inline constexpr std::chrono::milliseconds kWaitPollInterval{50};
// Once asked to end (SIGTERM on POSIX), the program gets this long to clean up before it is
// ended by force.
inline constexpr std::chrono::seconds kTerminationGrace{5};

struct ProgramRun {
    bool started = false;
    SystemError startError;       // why the program could not be started, when it could not
    bool endedOnRequest = false;  // the observer asked for the program to be ended
};

// Starts the program named by the first argument of the command line, never through a shell,
// with this program's environment and working folder and none of its open files except the
// standard output and error; standard input reads nothing. Waits without a time limit until the
// program has ended, or until the observer asks to end it (asked first, by force after the grace).
ProgramRun RunProgram(const std::string& commandLine, const WaitObserver& observer = {});

}  // namespace quillrun::platform
