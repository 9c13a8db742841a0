#pragma once

#include <QIcon>

namespace quillrun::ui {

// The desktop entry, the AppStream metainfo and the installed icons are all named by this id;
// a Wayland compositor matches a window to its entry by it (QGuiApplication::setDesktopFileName).
inline constexpr const char* kDesktopFileId = "com.tandrel.Quillrun";

// Icon group 129 (kApplicationIconId): the application icon at 16, 32, 48 and 256 pixels.
QIcon ApplicationIcon();

// The product version, "22.0.0.0", for QCoreApplication::setApplicationVersion.
const char* ProgramVersion();

}  // namespace quillrun::ui
