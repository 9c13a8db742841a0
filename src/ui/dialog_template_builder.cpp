#include "ui/dialog_template_builder.h"

#include <algorithm>

#include <qdrawutil.h>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QShortcutEvent>
#include <QString>
#include <QStylePainter>
#include <QTableView>

#include "ui/shell/dialog_units.h"

namespace quillrun::ui {
namespace {

using res::ControlClass;
using res::TemplateControl;
namespace style = res::style;

// A group box's mnemonic moves the focus to the field it frames. Qt's own group box looks for a
// child to focus, but template controls are the dialog's children, not the group box's.
class TemplateGroupBox : public QGroupBox {
  public:
    using QGroupBox::QGroupBox;
    void setBuddy(QWidget* buddy) { m_buddy = buddy; }

  protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::Shortcut && m_buddy != nullptr) {
            m_buddy->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
        return QGroupBox::event(event);
    }

    // The template frames its fields with the frame line running through the middle of the
    // caption; styles that put the caption above the frame would cut through the fields.
    void paintEvent(QPaintEvent* /*event*/) override {
        QStylePainter painter(this);
        const QFontMetrics metrics = fontMetrics();
        // An etched line, drawn here because styles place their own group frame below the
        // caption whatever rectangle they are given.
        qDrawShadeRect(&painter, rect().adjusted(0, metrics.height() / 2, 0, 0), palette(), true, 1,
                       0);
        if (title().isEmpty()) {
            return;
        }
        const int indent = metrics.averageCharWidth();
        const int gap = metrics.averageCharWidth() / 2;
        const int textWidth = metrics.horizontalAdvance(QString(title()).remove(QLatin1Char('&')));
        const int left = alignment() & Qt::AlignHCenter ? (width() - textWidth) / 2 : indent;
        const QRect caption(left, 0, textWidth, metrics.height());
        painter.fillRect(caption.adjusted(-gap, 0, gap, 0), palette().window());
        painter.drawItemText(caption, Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic,
                             palette(), isEnabled(), title(), QPalette::WindowText);
    }

  private:
    QPointer<QWidget> m_buddy;
};

bool Has(std::uint32_t bits, std::uint32_t flag) {
    return (bits & flag) == flag;
}

bool IsGroupBox(const TemplateControl& control) {
    return control.controlClass == ControlClass::Button &&
           (control.style & style::kButtonTypeMask) == style::kGroupBox;
}

bool IsStaticText(const TemplateControl& control) {
    return control.controlClass == ControlClass::Static || IsGroupBox(control);
}

QWidget* MakeButton(const TemplateControl& control, QWidget& parent) {
    const QString text = QString::fromLatin1(control.text);
    switch (control.style & style::kButtonTypeMask) {
        case style::kGroupBox: {
            auto* group = new TemplateGroupBox(text, &parent);
            if (Has(control.style, style::kButtonCentre)) {
                group->setAlignment(Qt::AlignHCenter);
            }
            return group;
        }
        case style::kAutoCheckBox:
            return new QCheckBox(text, &parent);
        default: {
            auto* button = new QPushButton(text, &parent);
            button->setDefault(Has(control.style, style::kDefaultPushButton));
            return button;
        }
    }
}

QWidget* MakeEdit(const TemplateControl& control, QWidget& parent) {
    const bool readOnly = Has(control.style, style::kEditReadOnly);
    if (Has(control.style, style::kEditMultiLine)) {
        auto* edit = new QPlainTextEdit(&parent);
        edit->setReadOnly(readOnly);
        edit->setTabChangesFocus(true);
        edit->setLineWrapMode(Has(control.style, style::kHorizontalScroll)
                                  ? QPlainTextEdit::NoWrap
                                  : QPlainTextEdit::WidgetWidth);
        edit->setVerticalScrollBarPolicy(Has(control.style, style::kVerticalScroll)
                                             ? Qt::ScrollBarAlwaysOn
                                             : Qt::ScrollBarAlwaysOff);
        edit->setHorizontalScrollBarPolicy(Has(control.style, style::kHorizontalScroll)
                                               ? Qt::ScrollBarAlwaysOn
                                               : Qt::ScrollBarAlwaysOff);
        return edit;
    }
    auto* edit = new QLineEdit(QString::fromLatin1(control.text), &parent);
    edit->setReadOnly(readOnly);
    if (Has(control.style, style::kEditPassword)) {
        edit->setEchoMode(QLineEdit::Password);
    }
    return edit;
}

QWidget* MakeStatic(const TemplateControl& control, QWidget& parent, const QIcon& icon) {
    auto* label = new QLabel(&parent);
    if ((control.style & style::kStaticTypeMask) == style::kStaticIcon) {
        label->setPixmap(icon.pixmap(32, 32));
        return label;
    }
    label->setTextFormat(Qt::PlainText);
    label->setText(QString::fromLatin1(control.text));
    // Static text sits at the top of its rectangle, as the fields beside it are aligned to that.
    const Qt::Alignment across = (control.style & style::kStaticTypeMask) == style::kStaticRight
                                     ? Qt::AlignRight
                                     : Qt::AlignLeft;
    label->setAlignment(across | Qt::AlignTop);
    return label;
}

QWidget* MakeControl(const TemplateControl& control, QWidget& parent, const QIcon& icon) {
    switch (control.controlClass) {
        case ControlClass::Button:
            return MakeButton(control, parent);
        case ControlClass::Edit:
            return MakeEdit(control, parent);
        case ControlClass::Static:
            return MakeStatic(control, parent, icon);
        case ControlClass::ListView:
            // A report list; its columns and rows are the business of the dialog that owns it.
            return new QTableView(&parent);
    }
    return nullptr;
}

Qt::FocusPolicy FocusPolicyOf(const TemplateControl& control) {
    if (IsStaticText(control)) {
        return Qt::NoFocus;
    }
    // A control without a tab stop can still be clicked into, or reached by a label's mnemonic.
    return Has(control.style, style::kTabStop) ? Qt::StrongFocus : Qt::ClickFocus;
}

// The control that a mnemonic of the static control at index hands the focus to.
QWidget* BuddyOf(const std::vector<BuiltControl>& controls, std::size_t index) {
    for (std::size_t next = index + 1; next < controls.size(); ++next) {
        if (!IsStaticText(*controls[next].source)) {
            return controls[next].widget;
        }
    }
    return nullptr;
}

void ConnectMnemonics(const std::vector<BuiltControl>& controls) {
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const TemplateControl& control = *controls[i].source;
        if (!QString::fromLatin1(control.text).contains(QLatin1Char('&'))) {
            continue;
        }
        if (auto* group = dynamic_cast<TemplateGroupBox*>(controls[i].widget)) {
            group->setBuddy(BuddyOf(controls, i));
        } else if (auto* label = qobject_cast<QLabel*>(controls[i].widget);
                   label != nullptr && !Has(control.style, style::kStaticNoPrefix)) {
            label->setTextFormat(Qt::PlainText);
            label->setBuddy(BuddyOf(controls, i));
        }
    }
}

void SetTabOrder(const std::vector<BuiltControl>& controls) {
    QWidget* previous = nullptr;
    for (const BuiltControl& control : controls) {
        if (control.widget->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, control.widget);
        }
        previous = control.widget;
    }
}

// The desktop's font need not have the proportions of the font the template was drawn for, so a
// caption can come out wider than its control. Such a control grows away from the edge it is
// aligned to (a right-aligned label towards the left), within the dialog, rather than clip.
void FitCaption(const TemplateControl& control, QWidget& widget, const QSize& client) {
    const bool grows = (control.controlClass == ControlClass::Static &&
                        (control.style & style::kStaticTypeMask) != style::kStaticIcon) ||
                       (control.controlClass == ControlClass::Button &&
                        (control.style & style::kButtonTypeMask) == style::kAutoCheckBox);
    const int shortfall = widget.sizeHint().width() - widget.width();
    if (!grows || shortfall <= 0) {
        return;
    }
    QRect area = widget.geometry();
    if ((control.style & style::kStaticTypeMask) == style::kStaticRight &&
        control.controlClass == ControlClass::Static) {
        area.setLeft(std::max(0, area.left() - shortfall));
    } else {
        area.setRight(std::min(client.width() - 1, area.right() + shortfall));
    }
    widget.setGeometry(area);
}

}  // namespace

std::vector<BuiltControl> BuildDialogFromTemplate(QDialog& dialog,
                                                  const res::DialogTemplate& source,
                                                  const QIcon& icon) {
    dialog.setWindowTitle(QString::fromLatin1(source.caption));
    const DialogBaseUnits units = MeasureDialogFont(dialog.font());
    const QSize client = MapDialogRect(units, 0, 0, source.width, source.height).size();
    dialog.setFixedSize(client);

    std::vector<BuiltControl> controls;
    controls.reserve(source.controls.size());
    for (const TemplateControl& control : source.controls) {
        QWidget* widget = MakeControl(control, dialog, icon);
        widget->setObjectName(QString::fromLatin1(control.objectName));
        widget->setProperty("controlId", control.id);
        widget->setGeometry(
            MapDialogRect(units, control.x, control.y, control.width, control.height));
        widget->setFocusPolicy(FocusPolicyOf(control));
        widget->setEnabled(!Has(control.style, style::kDisabled));
        controls.push_back({&control, widget});
    }
    ConnectMnemonics(controls);
    for (const BuiltControl& built : controls) {
        FitCaption(*built.source, *built.widget, client);
    }
    SetTabOrder(controls);
    return controls;
}

QWidget* FindBuiltControl(const std::vector<BuiltControl>& controls, int controlId) {
    for (const BuiltControl& built : controls) {
        if (built.source->id == controlId) {
            return built.widget;
        }
    }
    return nullptr;
}

}  // namespace quillrun::ui
