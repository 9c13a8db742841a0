#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

#include "ui_win32/dialog_template_win32.h"
#include "ui_win32/window_handles.h"

namespace quillrun::win32ui {

// The id of the window's Stop button.
inline constexpr int kProgressStopButton = 102;

// The small window shown while the reading program works on an image: the image, the time taken,
// and Stop. It is modal: the main dialog is disabled while it is there, so nothing of the dialog
// can be used in the middle of a job.
class ReaderProgressWindow {
  public:
    // onStop runs once, when Stop is pressed.
    ReaderProgressWindow(HINSTANCE instance, HWND owner, const std::string& imagePath,
                         std::function<void()> onStop);
    ~ReaderProgressWindow();
    ReaderProgressWindow(const ReaderProgressWindow&) = delete;
    ReaderProgressWindow& operator=(const ReaderProgressWindow&) = delete;

    void SetElapsed(std::chrono::milliseconds elapsed);

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnStop();

    HWND m_owner;
    DialogTemplateMemory m_template;
    std::function<void()> m_onStop;
    UniqueWindow m_window;
};

}  // namespace quillrun::win32ui
