#pragma once

#include <windows.h>

namespace quillrun::win32ui {

// The About box, template 100: the application icon, the version line and the notice; OK, Esc
// or the close box end it.
void ShowAboutBox(HINSTANCE instance, HWND owner);

}  // namespace quillrun::win32ui
