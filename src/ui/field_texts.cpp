#include "ui/field_texts.h"

#include <QLineEdit>

#include "ui/system_text.h"

namespace quillrun::ui {

void FieldTexts::Show(QLineEdit& field, int controlId, const std::string& bytes) {
    m_shown[controlId] = bytes;
    field.setText(FromSystem(bytes));
}

std::string FieldTexts::BytesOf(int controlId, const QString& text) {
    const auto shown = m_shown.find(controlId);
    if (shown != m_shown.end() && text == FromSystem(shown->second)) {
        return shown->second;
    }
    m_shown.erase(controlId);
    return ToSystem(text);
}

}  // namespace quillrun::ui
