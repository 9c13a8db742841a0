#include "ui/shell/template_geometry.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>

namespace quillrun::ui {
namespace {

// value * numerator / denominator, rounded half away from zero.
int Scale(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

}  // namespace

TemplateGeometry::TemplateGeometry(const QFont& font) {
    const QFontMetrics metrics(font);
    const int lettersWidth = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_averageWidth = (lettersWidth / 26 + 1) / 2;
    m_height = metrics.height();
}

QRect TemplateGeometry::rect(int x, int y, int width, int height) const {
    const int left = Scale(x, m_averageWidth, 4);
    const int top = Scale(y, m_height, 8);
    const int right = Scale(x + width, m_averageWidth, 4);
    const int bottom = Scale(y + height, m_height, 8);
    return {left, top, right - left, bottom - top};
}

QSize TemplateGeometry::size(int width, int height) const {
    return {Scale(width, m_averageWidth, 4), Scale(height, m_height, 8)};
}

}  // namespace quillrun::ui
