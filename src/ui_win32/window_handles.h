#pragma once

#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace quillrun::win32ui {

// An icon loaded from the program's resources for one window.
struct IconKind {
    using Handle = HICON;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle handle) { return handle != nullptr; }
    static void Release(Handle handle) { ::DestroyIcon(handle); }
};

// A window this program made without a dialog manager's modal loop to end it.
struct WindowKind {
    using Handle = HWND;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle handle) { return handle != nullptr; }
    static void Release(Handle handle) { ::DestroyWindow(handle); }
};

using UniqueIcon = platform::UniqueWin32Handle<IconKind>;
using UniqueWindow = platform::UniqueWin32Handle<WindowKind>;

}  // namespace quillrun::win32ui
