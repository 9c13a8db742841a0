#pragma once

#include <QRect>
#include <QSize>

#include "resources/dialog_template.h"
#include "ui/shell/dialog_units.h"

class QFont;

namespace quillrun::ui {

// A template's dialog units in pixels for one font, measured once.
class TemplateGeometry {
  public:
    explicit TemplateGeometry(const QFont& font) : m_units(MeasureDialogFont(font)) {}

    QRect rect(int x, int y, int width, int height) const {
        return MapDialogRect(m_units, x, y, width, height);
    }
    QRect rect(const res::TemplateControl& control) const {
        return rect(control.x, control.y, control.width, control.height);
    }
    QSize size(int width, int height) const { return rect(0, 0, width, height).size(); }

    int averageCharWidth() const { return m_units.averageWidth; }
    int fontHeight() const { return m_units.height; }

  private:
    DialogBaseUnits m_units;
};

}  // namespace quillrun::ui
