#pragma once

#include <QString>

class QFontMetrics;

namespace quillrun::ui {

inline constexpr int kToolTipMaxWidth = 300;

// Breaks text into lines no wider than maxWidth pixels in the given font: at each line feed of
// its own, and otherwise at the last blank that keeps the line within the width (a word wider
// than that on its own is broken between characters). Blanks at a line's end do not count
// towards its width.
QString WrapToolTipText(const QString& text, const QFontMetrics& metrics, int maxWidth);

}  // namespace quillrun::ui
