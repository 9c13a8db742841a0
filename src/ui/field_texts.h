#pragma once

#include <map>
#include <string>

class QLineEdit;
class QString;

namespace quillrun::ui {

// The bytes behind the edit fields' texts. A text the program shows whose bytes do not decode in
// the system's encoding comes back as those very bytes while the field shows it unchanged, so a
// stored path survives being shown; once the user edits the field, its text is what counts.
class FieldTexts {
  public:
    // Shows bytes in the field and remembers them.
    void Show(QLineEdit& field, int controlId, const std::string& bytes);
    // The bytes the field's text now stands for.
    std::string BytesOf(int controlId, const QString& text);

  private:
    std::map<int, std::string> m_shown;
};

}  // namespace quillrun::ui
