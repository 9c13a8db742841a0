#pragma once

#include <QRect>
#include <QSize>

class QFont;

namespace quillrun::ui {

// The pixel size of dialog units in a font: a quarter of its average character width across, an
// eighth of its height down. The average width is that of the 52 letters A-Z and a-z divided by
// 52 and rounded, so a template keeps its proportions in whatever font the desktop gives.
class TemplateGeometry {
  public:
    explicit TemplateGeometry(const QFont& font);

    // Corners are converted rather than sizes, so controls that meet in dialog units meet in
    // pixels too.
    QRect rect(int x, int y, int width, int height) const;
    QSize size(int width, int height) const;

    int averageCharWidth() const { return m_averageWidth; }
    int fontHeight() const { return m_height; }

  private:
    int m_averageWidth;
    int m_height;
};

}  // namespace quillrun::ui
