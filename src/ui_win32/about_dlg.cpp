#include "ui_win32/about_dlg.h"

#include "resources/about_dialog_template.h"
#include "ui_win32/dialog_template_win32.h"

namespace quillrun::win32ui {
namespace {

INT_PTR CALLBACK AboutProc(HWND window, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(window, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void ShowAboutBox(HINSTANCE instance, HWND owner) {
    const DialogTemplateMemory about(res::kAboutDialog);
    ::DialogBoxIndirectParamW(instance, about.get(), owner, AboutProc, 0);
}

}  // namespace quillrun::win32ui
