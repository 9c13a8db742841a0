#include <windows.h>

#include "platform/process.h"
#include "platform/system_error_win32.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace quillrun::platform {
namespace {

// The exit code of a reading program that the user stopped; nobody reads it.
constexpr UINT kStoppedExitCode = 1;

using Clock = std::chrono::steady_clock;

// Waits in slices, so the observer can keep the window alive and ask for the program's end.
// TerminateProcess is the Windows counterpart of the graceful stop: a Windows program has no
// signal to clean up on.
bool WaitInSlices(HANDLE process, const WaitObserver& observer) {
    const auto started = Clock::now();
    bool endRequested = false;
    while (::WaitForSingleObject(process, static_cast<DWORD>(kWaitPollInterval.count())) ==
           WAIT_TIMEOUT) {
        if (endRequested) {
            continue;
        }
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
        if (observer(elapsed) == WaitVerdict::EndProgram) {
            endRequested = true;
            ::TerminateProcess(process, kStoppedExitCode);
        }
    }
    return endRequested;
}

}  // namespace

ProgramRun RunProgram(const std::string& commandLine, const WaitObserver& observer) {
    // Windows hands a program its command line whole: the line goes to CreateProcessW exactly as
    // built, the quoted first token naming the executable. No shell ever sees it. The call may
    // write into the buffer, so it gets a copy of its own.
    std::wstring line = ToWide(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION information{};
    // A program started from a console shares it, and so Ctrl+C, Ctrl+Break and the console's
    // close, which reach every program attached at once: the reading program would end before
    // this process had taken the stop in, and count as failed. A console of its own, unseen,
    // leaves its end to this process. Without a console (the dialog, a service) the system gives
    // a console program one of its own as before.
    const DWORD flags = ::GetConsoleCP() != 0 ? CREATE_NO_WINDOW : 0;
    // Its window (a console program's console too) appears without taking the activation: the
    // user's keys stay with the dialog, Esc included, and nothing has to hand the activation back
    // when the window goes, which Wine without a window manager hands to no window at all.
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNOACTIVATE;
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr,
                          &startup, &information)) {
        return {false, LastSystemError(), false};
    }
    // Released in reverse order: the process handle first, then the thread's.
    const UniqueHandle thread(information.hThread);
    const UniqueHandle process(information.hProcess);
    if (!observer) {
        ::WaitForSingleObject(process.get(), INFINITE);
        return {true, {}, false};
    }
    return {true, {}, WaitInSlices(process.get(), observer)};
}

}  // namespace quillrun::platform
