#include "ui_win32/reader_progress_window.h"

#include <commctrl.h>

#include <array>

#include "app/elapsed_time.h"
#include "platform/win32/wide_text.h"
#include "ui_win32/prompts.h"

namespace quillrun::win32ui {
namespace {

constexpr int kImageLabel = 100;
constexpr int kElapsedLabel = 101;

namespace layout {
using enum res::ControlClass;
using namespace res::style;

constexpr std::uint32_t kShown = kChild | kVisible;
// A path too long for its line loses its middle, never the file name at its end.
constexpr std::uint32_t kPathEllipsis = 0x00008000;

constexpr std::array kControls{
    res::TemplateControl{kNoControlId, Static, "Converting", 7, 7, 260, 8, kShown | kStaticLeft,
                         "progressHeading"},
    res::TemplateControl{kImageLabel, Static, "", 7, 19, 260, 8,
                         kShown | kStaticLeft | kStaticNoPrefix | kPathEllipsis, "progressImage"},
    res::TemplateControl{kElapsedLabel, Static, "", 7, 36, 150, 8, kShown | kStaticLeft,
                         "progressElapsed"},
    res::TemplateControl{kProgressStopButton, Button, "&Stop", 217, 33, 50, 14,
                         kShown | kTabStop | kDefaultPushButton, "progressStopButton"},
};

// Captioned with the application's name once it is made; no close box: Stop is the way out.
constexpr res::DialogTemplate kProgressWindow{
    .id = 0,
    .caption = "",
    .width = 274,
    .height = 54,
    .style = kPopup | kCaption | kModalFrame | kSetFont,
    .extendedStyle = 0,
    .font = {"MS Sans Serif", 8},
    .controls = kControls,
};
}  // namespace layout

// The dialog's own message loop serves the main dialog's keys only, so Enter on Stop, which a
// dialog would turn into a click, is the button's to take.
LRESULT CALLBACK StopButtonKeys(HWND button, UINT message, WPARAM wParam, LPARAM lParam,
                                UINT_PTR /*id*/, DWORD_PTR /*data*/) {
    if (message == WM_KEYDOWN && wParam == VK_RETURN) {
        ::SendMessageW(button, BM_CLICK, 0, 0);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(button, StopButtonKeys, 0);
    }
    return ::DefSubclassProc(button, message, wParam, lParam);
}

}  // namespace

ReaderProgressWindow::ReaderProgressWindow(HINSTANCE instance, HWND owner,
                                           const std::string& imagePath,
                                           std::function<void()> onStop)
    : m_owner(owner), m_template(layout::kProgressWindow), m_onStop(std::move(onStop)) {
    m_window.reset(::CreateDialogIndirectParamW(instance, m_template.get(), owner, DialogProc,
                                                reinterpret_cast<LPARAM>(this)));
    if (!m_window) {
        return;
    }
    ::SetWindowTextW(m_window.get(), platform::ToWide(ApplicationName()).c_str());
    ::SetDlgItemTextW(m_window.get(), kImageLabel, platform::ToWide(imagePath).c_str());
    SetElapsed(std::chrono::milliseconds(0));
    ::SetWindowSubclass(::GetDlgItem(m_window.get(), kProgressStopButton), StopButtonKeys, 0, 0);
    ::EnableWindow(m_owner, FALSE);
    ::ShowWindow(m_window.get(), SW_SHOW);
}

ReaderProgressWindow::~ReaderProgressWindow() {
    // The owner comes back before this window goes, so the activation returns to it.
    ::EnableWindow(m_owner, TRUE);
}

void ReaderProgressWindow::SetElapsed(std::chrono::milliseconds elapsed) {
    const std::string text = "Elapsed time: " + app::FormatElapsed(elapsed);
    ::SetDlgItemTextW(m_window.get(), kElapsedLabel, platform::ToWide(text).c_str());
}

void ReaderProgressWindow::OnStop() {
    const HWND stop = ::GetDlgItem(m_window.get(), kProgressStopButton);
    if (!::IsWindowEnabled(stop)) {
        return;
    }
    ::SetWindowTextW(stop, L"Stopping...");
    ::EnableWindow(stop, FALSE);
    m_onStop();
}

INT_PTR CALLBACK ReaderProgressWindow::DialogProc(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
        return TRUE;
    }
    auto* self = reinterpret_cast<ReaderProgressWindow*>(::GetWindowLongPtrW(window, DWLP_USER));
    if (self != nullptr && message == WM_COMMAND) {
        // Esc does not end the reading program; only Stop does, on purpose.
        if (LOWORD(wParam) == kProgressStopButton) {
            self->OnStop();
        }
        return TRUE;
    }
    return FALSE;
}

}  // namespace quillrun::win32ui
