#pragma once

#include <QRect>

class QFont;

namespace quillrun::ui {

// The size of one dialog unit of a font: a quarter of its average character width across, an
// eighth of its height down.
struct DialogBaseUnits {
    int averageWidth = 0;
    int height = 0;
};

// Measured as the original platform measures a dialog font: the average width is the width of
// the 52 letters "A".."Z" and "a".."z" divided by 52 and rounded, so that templates keep their
// proportions with any font.
DialogBaseUnits MeasureDialogFont(const QFont& font);

// Converts a rectangle in dialog units into pixels. The corners are converted, not the size, so
// that controls that meet in dialog units also meet in pixels.
QRect MapDialogRect(const DialogBaseUnits& units, int x, int y, int width, int height);

}  // namespace quillrun::ui
