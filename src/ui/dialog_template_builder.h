#pragma once

#include <vector>

#include "resources/dialog_template.h"

class QDialog;
class QIcon;
class QWidget;

namespace quillrun::ui {

struct BuiltControl {
    const res::TemplateControl* source;
    QWidget* widget;  // owned by the dialog
};

// Creates the template's controls as children of the dialog, placed in pixels converted from
// dialog units of the dialog's font, and fixes the dialog's client size. Every widget carries its
// control id in the property "controlId" and the template's object name. The tab order is the
// template order; a label or group box with a mnemonic hands the focus to the next control
// after it that is neither, as the original platform does. An icon picture shows icon.
std::vector<BuiltControl> BuildDialogFromTemplate(QDialog& dialog,
                                                  const res::DialogTemplate& source,
                                                  const QIcon& icon);

// The widget built for the control with that id, or nullptr.
QWidget* FindBuiltControl(const std::vector<BuiltControl>& controls, int controlId);

}  // namespace quillrun::ui
