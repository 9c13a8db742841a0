#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace quillrun::test {

// The text of a window or control, as UTF-8.
std::string WindowText(HWND window);

// Handles what has arrived for this thread's windows and returns.
void ProcessMessages();

// Handles this thread's messages, waiting for more, until done holds; false when it does not
// within a minute.
bool ProcessMessagesUntil(const std::function<bool()>& done);

// Runs act on the window that a modal loop started by the caller shows (a message box, the
// statistics window, the About box), once that window is there; act ends it. The modal loop
// dispatches the timer that looks for it.
void WhenModalWindowShows(HWND owner, std::function<void(HWND)> act);

}  // namespace quillrun::test
