#include "ui_win32/window_test_support.h"

#include "platform/win32/wide_text.h"

namespace quillrun::test {
namespace {

HWND g_owner = nullptr;
std::function<void(HWND)> g_act;
UINT_PTR g_timer = 0;

// A window of this thread that the owner owns, shown and enabled: the modal one.
BOOL CALLBACK TakeOwnedWindow(HWND window, LPARAM found) {
    if (::GetWindow(window, GW_OWNER) == g_owner && ::IsWindowVisible(window) &&
        ::IsWindowEnabled(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK LookForModalWindow(HWND, UINT, UINT_PTR, DWORD) {
    HWND modal = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), TakeOwnedWindow, reinterpret_cast<LPARAM>(&modal));
    if (modal == nullptr) {
        return;
    }
    ::KillTimer(nullptr, g_timer);
    const auto act = std::move(g_act);
    act(modal);
}

}  // namespace

std::string WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return platform::ToUtf8(text);
}

void ProcessMessages() {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

bool ProcessMessagesUntil(const std::function<bool()>& done) {
    const ULONGLONG deadline = ::GetTickCount64() + 60000;
    while (!done()) {
        if (::GetTickCount64() > deadline) {
            return false;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        ProcessMessages();
    }
    return true;
}

void WhenModalWindowShows(HWND owner, std::function<void(HWND)> act) {
    g_owner = owner;
    g_act = std::move(act);
    g_timer = ::SetTimer(nullptr, 0, 50, LookForModalWindow);
}

}  // namespace quillrun::test
