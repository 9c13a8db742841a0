#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "ui_win32/dialog_template_win32.h"
#include "ui_win32/window_handles.h"

namespace quillrun::win32ui {

// The id of the window's Stop button.
inline constexpr int kProgressStopButton = 102;

// The small window shown while the reading program works on an image: the image, the time taken,
// and Stop. It is modal: the main dialog is disabled while it is there, so no other handler of
// the dialog runs in the middle of a job.
class ReaderProgressWindow {
  public:
    ReaderProgressWindow(HINSTANCE instance, HWND owner, const std::string& imagePath);
    ~ReaderProgressWindow();
    ReaderProgressWindow(const ReaderProgressWindow&) = delete;
    ReaderProgressWindow& operator=(const ReaderProgressWindow&) = delete;

    void SetElapsed(std::chrono::milliseconds elapsed);
    // Handles what has arrived for the program's windows (painting, Stop) and returns at once.
    void ProcessMessages();
    bool StopRequested() const { return m_stopRequested; }

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnStop();

    HWND m_owner;
    DialogTemplateMemory m_template;
    UniqueWindow m_window;
    bool m_stopRequested = false;
};

}  // namespace quillrun::win32ui
