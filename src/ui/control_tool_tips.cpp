#include "ui/control_tool_tips.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

#include "ui/system_text.h"
#include "ui/tool_tip_text.h"

namespace quillrun::ui {

ControlToolTips::ControlToolTips(QWidget& dialog, TextFor textFor)
    : QObject(&dialog), m_dialog(dialog), m_textFor(std::move(textFor)) {}

void ControlToolTips::Watch(QWidget& control) {
    control.installEventFilter(this);
}

bool ControlToolTips::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget->parentWidget() == &m_dialog) {
            Show(*widget, static_cast<QHelpEvent*>(event)->globalPos());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void ControlToolTips::Show(QWidget& control, const QPoint& globalPos) const {
    const std::string text = m_textFor(control.property("controlId").toInt());
    if (text.empty()) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(
        globalPos,
        WrapToolTipText(FromSystem(text), QFontMetrics(QToolTip::font()), kToolTipMaxWidth),
        &control);
}

}  // namespace quillrun::ui
