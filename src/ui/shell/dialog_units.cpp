#include "ui/shell/dialog_units.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>

namespace quillrun::ui {
namespace {

// a * b / c rounded half away from zero, as the platform's MulDiv does.
int MulDiv(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

}  // namespace

DialogBaseUnits MeasureDialogFont(const QFont& font) {
    const QFontMetrics metrics(font);
    const int lettersWidth = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(lettersWidth / 26 + 1) / 2, metrics.height()};
}

QRect MapDialogRect(const DialogBaseUnits& units, int x, int y, int width, int height) {
    const int left = MulDiv(x, units.averageWidth, 4);
    const int top = MulDiv(y, units.height, 8);
    const int right = MulDiv(x + width, units.averageWidth, 4);
    const int bottom = MulDiv(y + height, units.height, 8);
    return {left, top, right - left, bottom - top};
}

}  // namespace quillrun::ui
