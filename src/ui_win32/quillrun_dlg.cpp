#include "ui_win32/quillrun_dlg.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/help_path.h"
#include "platform/win32/wide_text.h"
#include "resources/main_dialog_template.h"
#include "resources/resource_ids.h"
#include "ui_win32/about_dlg.h"
#include "ui_win32/page_stats_dlg.h"
#include "ui_win32/prompts.h"

namespace quillrun::win32ui {
namespace {

using platform::ToUtf8;
using platform::ToWide;

// Tooltips wrap at this width, in pixels at 96 dots per inch, and at each line feed.
constexpr int kToolTipMaxWidth = 300;
// Long enough to read the eighteen lines of the command arguments' tip.
constexpr int kToolTipShowMs = 30000;

// Posted to the dialog when other threads have handed it something to run.
constexpr UINT kRunPostedMessage = WM_APP + 1;

UniqueIcon LoadApplicationIcon(HINSTANCE instance, int size) {
    return UniqueIcon(static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(kApplicationIconId), IMAGE_ICON, size, size, 0)));
}

std::string ExecutablePath() {
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return ToUtf8(path);
}

}  // namespace

CQuillrunDlg::CQuillrunDlg(HINSTANCE instance)
    : m_instance(instance), m_template(res::kMainDialog), m_behaviour(*this) {}

CQuillrunDlg::~CQuillrunDlg() {
    m_progress.reset();
    if (m_window != nullptr && !m_modal) {
        ::DestroyWindow(m_window);
    }
}

void CQuillrunDlg::DoModal() {
    m_modal = true;
    ::DialogBoxIndirectParamW(m_instance, m_template.get(), nullptr, DialogProc,
                              reinterpret_cast<LPARAM>(this));
    m_window = nullptr;
}

HWND CQuillrunDlg::Create() {
    m_modal = false;
    const HWND window = ::CreateDialogIndirectParamW(m_instance, m_template.get(), nullptr,
                                                     DialogProc, reinterpret_cast<LPARAM>(this));
    if (m_ended && window != nullptr) {
        ::DestroyWindow(window);  // ended while it initialised: the reading program is missing
    }
    return m_window;
}

INT_PTR CALLBACK CQuillrunDlg::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
        auto* self = reinterpret_cast<CQuillrunDlg*>(lParam);
        self->m_window = window;
        self->OnInitDialog();
        return FALSE;  // the behaviour has put the focus where it belongs
    }
    auto* self = reinterpret_cast<CQuillrunDlg*>(::GetWindowLongPtrW(window, DWLP_USER));
    if (self == nullptr) {
        return FALSE;
    }
    if (message == WM_NCDESTROY) {
        self->m_window = nullptr;
        return FALSE;
    }
    return self->OnMessage(message, wParam, lParam);
}

void CQuillrunDlg::OnInitDialog() {
    const int iconSize = ::GetSystemMetricsForDpi(SM_CXICON, ::GetDpiForWindow(m_window));
    const int smallIconSize = ::GetSystemMetricsForDpi(SM_CXSMICON, ::GetDpiForWindow(m_window));
    m_bigIcon = LoadApplicationIcon(m_instance, iconSize);
    m_smallIcon = LoadApplicationIcon(m_instance, smallIconSize);
    ::SendMessageW(m_window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon.get()));
    ::SendMessageW(m_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon.get()));
    // The system's default limit of a multi-line edit would cut a long run's log short on screen.
    ::SendMessageW(Control(kActivityLogEdit), EM_SETLIMITTEXT, 0, 0);
    m_initialising = true;
    m_behaviour.OnInitDialog();
    m_initialising = false;
}

INT_PTR CQuillrunDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_SYSCOMMAND: {
            // The About item and Close go to the behaviour; moving and the like to the system.
            const unsigned command = static_cast<unsigned>(wParam) & kSystemCommandMask;
            if (command == kAboutCommand || command == kCloseCommand) {
                m_behaviour.OnSysCommand(static_cast<unsigned>(wParam));
                return TRUE;
            }
            return FALSE;
        }
        case WM_TIMER:
            m_behaviour.OnTimer();
            return TRUE;
        case kRunPostedMessage:
            m_posted.RunAll();
            return TRUE;
        case WM_HELP:
            // F1 on the dialog or any control; F1 in a menu asks for nothing.
            if (reinterpret_cast<const HELPINFO*>(lParam)->iContextType == HELPINFO_WINDOW) {
                m_behaviour.OnHelp();
            }
            return TRUE;
        case WM_NOTIFY:
            return OnToolTipText(*reinterpret_cast<NMHDR*>(lParam));
        default:
            return FALSE;
    }
}

void CQuillrunDlg::OnCommand(int controlId, int notification) {
    if (notification == EN_CHANGE) {
        // The behaviour knows which fields mirror a setting; the others' changes mean nothing.
        m_behaviour.OnFieldChanged(controlId, ControlText(controlId));
        return;
    }
    if (notification != BN_CLICKED) {
        return;
    }
    // Esc and the close box arrive as the Cancel button's click.
    if (controlId == kLogActivityCheck) {
        m_behaviour.OnLogActivity(::IsDlgButtonChecked(m_window, kLogActivityCheck) == BST_CHECKED);
    } else {
        m_behaviour.OnCommand(controlId);
    }
}

bool CQuillrunDlg::OnToolTipText(NMHDR& header) {
    if (header.hwndFrom != m_toolTip || header.code != TTN_GETDISPINFOW) {
        return false;
    }
    auto& request = reinterpret_cast<NMTTDISPINFOW&>(header);
    if ((request.uFlags & TTF_IDISHWND) == 0) {
        return false;
    }
    const int controlId = ::GetDlgCtrlID(reinterpret_cast<HWND>(header.idFrom));
    m_toolTipText = ToWide(m_behaviour.ToolTipText(controlId));
    request.lpszText = m_toolTipText.data();
    return true;
}

std::string CQuillrunDlg::ControlText(int controlId) const {
    const HWND control = Control(controlId);
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return ToUtf8(text);
}

void CQuillrunDlg::SetControlText(int controlId, const std::string& text) {
    // The edit raises EN_CHANGE, which hands the text to the behaviour as a user's edit would.
    ::SetDlgItemTextW(m_window, controlId, ToWide(text).c_str());
}

void CQuillrunDlg::EnableControl(int controlId, bool enabled) {
    const HWND control = Control(controlId);
    // A control losing the focus with its enabling hands it on, so the keyboard still works.
    if (!enabled && ::GetFocus() == control) {
        ::SendMessageW(m_window, WM_NEXTDLGCTL, 0, FALSE);
    }
    ::EnableWindow(control, enabled ? TRUE : FALSE);
}

void CQuillrunDlg::SetChecked(int controlId, bool checked) {
    // Unlike a click, setting the state raises no BN_CLICKED.
    ::CheckDlgButton(m_window, controlId, checked ? BST_CHECKED : BST_UNCHECKED);
}

void CQuillrunDlg::FocusControl(int controlId) {
    ::SendMessageW(m_window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(controlId)), TRUE);
}

void CQuillrunDlg::MaskField(int controlId, char mask) {
    const HWND field = Control(controlId);
    ::SendMessageW(field, EM_SETPASSWORDCHAR, static_cast<WPARAM>(mask), 0);
    ::SetWindowLongPtrW(field, GWL_STYLE, ::GetWindowLongPtrW(field, GWL_STYLE) | ES_PASSWORD);
    ::InvalidateRect(field, nullptr, TRUE);
}

void CQuillrunDlg::AddSystemMenuItem(unsigned command, const std::string& text) {
    const HMENU menu = ::GetSystemMenu(m_window, FALSE);
    if (menu == nullptr) {
        return;
    }
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, command, ToWide(text).c_str());
}

void CQuillrunDlg::EnableToolTips() {
    m_toolTip = ::CreateWindowExW(
        0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_window, nullptr, m_instance, nullptr);
    if (m_toolTip == nullptr) {
        return;
    }
    for (const res::TemplateControl& control : res::kMainDialog.controls) {
        if (control.id == kNoControlId) {
            continue;  // labels and group boxes explain nothing
        }
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = m_window;
        tool.uId = reinterpret_cast<UINT_PTR>(Control(control.id));
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        ::SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    const int width = ::MulDiv(kToolTipMaxWidth, static_cast<int>(::GetDpiForWindow(m_window)),
                               USER_DEFAULT_SCREEN_DPI);
    ::SendMessageW(m_toolTip, TTM_SETMAXTIPWIDTH, 0, width);
    ::SendMessageW(m_toolTip, TTM_SETDELAYTIME, TTDT_AUTOPOP, kToolTipShowMs);
}

// New lines go at the very end, whatever the user has selected, and the end stays in view. The
// oldest lines go in batches: removing the head of an edit control's text moves all the rest, so
// doing it for every new line would cost more the longer the log is.
void CQuillrunDlg::AppendLogText(const std::string& text) {
    const HWND log = Control(kActivityLogEdit);
    const int end = ::GetWindowTextLengthW(log);
    ::SendMessageW(log, EM_SETSEL, static_cast<WPARAM>(end), end);
    ::SendMessageW(log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(ToWide(text).c_str()));
    // Every line ends in CR LF, so an empty line follows the newest one.
    const auto lines = static_cast<int>(::SendMessageW(log, EM_GETLINECOUNT, 0, 0)) - 1;
    if (lines > app::kActivityLogScreenLines) {
        const int kept = app::kActivityLogScreenLines - app::kActivityLogScreenLines / 10;
        const auto cut = ::SendMessageW(log, EM_LINEINDEX, static_cast<WPARAM>(lines - kept), 0);
        ::SendMessageW(log, EM_SETSEL, 0, cut);
        ::SendMessageW(log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
        const int newEnd = ::GetWindowTextLengthW(log);
        ::SendMessageW(log, EM_SETSEL, static_cast<WPARAM>(newEnd), newEnd);
        ::SendMessageW(log, EM_SCROLLCARET, 0, 0);
    }
}

void CQuillrunDlg::ShowMessage(const std::string& text) {
    // During initialisation the dialog is not shown yet; the box then stands on its own.
    prompts::ShowMessage(m_initialising ? nullptr : m_window, text);
}

std::optional<std::string> CQuillrunDlg::ChooseFolder(const std::string& title) {
    return prompts::ChooseFolder(m_window, title);
}

std::optional<std::string> CQuillrunDlg::ChooseLogFile() {
    return prompts::ChooseLogFile(m_window);
}

unsigned CQuillrunDlg::ArmTimer(unsigned timerId, int intervalMs) {
    return static_cast<unsigned>(
        ::SetTimer(m_window, timerId, static_cast<UINT>(intervalMs), nullptr));
}

void CQuillrunDlg::KillTimer(unsigned timerId) {
    ::KillTimer(m_window, timerId);
}

void CQuillrunDlg::ShowReaderProgress(const std::string& image) {
    m_progress = std::make_unique<ReaderProgressWindow>(m_instance, m_window, image,
                                                        [this] { m_behaviour.OnStopReader(); });
}

void CQuillrunDlg::SetReaderElapsed(std::chrono::milliseconds elapsed) {
    m_progress->SetElapsed(elapsed);
}

// A window of the reading program's that took the activation after all leaves it, when it goes,
// to the next window on Windows and to no window at all on Wine without a window manager: then no
// control has the keyboard focus, and Esc reaches nothing until a click. With no window in the
// foreground, the dialog takes it back; and an active dialog keeps a control with the focus, also
// when the control it had was disabled in the meantime.
void CQuillrunDlg::CloseReaderProgress() {
    m_progress.reset();
    if (::GetForegroundWindow() == nullptr) {
        ::SetForegroundWindow(m_window);
    }
    const HWND focus = ::GetFocus();
    if (::GetActiveWindow() == m_window &&
        (!::IsChild(m_window, focus) || !::IsWindowEnabled(focus))) {
        ::SendMessageW(m_window, WM_NEXTDLGCTL, 0, FALSE);
    }
}

// The window's message queue carries the wake-up; the actions wait here, so none is lost or
// leaked when the window goes before its messages are read.
void CQuillrunDlg::RunOnDialogThread(std::function<void()> action) {
    if (m_posted.Post(std::move(action))) {
        ::PostMessageW(m_window, kRunPostedMessage, 0, 0);
    }
}

void CQuillrunDlg::ShowStatisticsWindow(const PageStatsTable& records) {
    CPageStatsDlg(m_instance, records).DoModal(m_window);
}

// The guide is HTML beside the executable, opened by whatever the user reads HTML with. Its path
// goes to the shell's file associations as data; no command line is made of it.
void CQuillrunDlg::ShowHelp() {
    const std::wstring guide = ToWide(app::HelpPathFor(ExecutablePath()));
    ::ShellExecuteW(m_window, L"open", guide.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CQuillrunDlg::CloseHelp() {
    // The guide's window belongs to the user's browser and may outlive the dialog.
}

void CQuillrunDlg::ShowAboutBox() {
    win32ui::ShowAboutBox(m_instance, m_window);
}

void CQuillrunDlg::EndDialog() {
    m_ended = true;
    if (m_modal) {
        ::EndDialog(m_window, IDCANCEL);
    } else if (!m_initialising) {
        ::DestroyWindow(m_window);
    }
}

}  // namespace quillrun::win32ui
