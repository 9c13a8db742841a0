#pragma once

#include <functional>
#include <string>

#include <QObject>

class QPoint;
class QWidget;

namespace quillrun::ui {

// Shows each control's explanation when the mouse rests on it, wrapped at kToolTipMaxWidth
// pixels (tool_tip_text.h); a control whose explanation is empty shows no tip.
class ControlToolTips : public QObject {
  public:
    using TextFor = std::function<std::string(int controlId)>;

    ControlToolTips(QWidget& dialog, TextFor textFor);
    // From now on the control explains itself.
    void Watch(QWidget& control);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Show(QWidget& control, const QPoint& globalPos) const;

    QWidget& m_dialog;
    TextFor m_textFor;
};

}  // namespace quillrun::ui
