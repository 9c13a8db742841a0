#pragma once

#include <windows.h>

#include <vector>

#include "resources/dialog_template.h"

namespace quillrun::win32ui {

// A dialog template of the resource library in the form the system's dialog manager reads from
// memory (DLGTEMPLATEEX), for DialogBoxIndirectParamW and CreateDialogIndirectParamW: the
// template's own styles and font, and its controls in template order, which is also the tab
// order, with their classes, ids, styles, places and texts. An icon picture shows the
// application icon from the program's resources.
class DialogTemplateMemory {
  public:
    explicit DialogTemplateMemory(const res::DialogTemplate& source);

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }
    std::size_t sizeInBytes() const { return m_words.size() * sizeof(WORD); }

  private:
    void AddWord(unsigned value);
    void AddDword(std::uint32_t value);
    void AddText(const char* utf8);
    void AlignToDword();
    void AddControl(const res::TemplateControl& control);

    std::vector<WORD> m_words;
};

}  // namespace quillrun::win32ui
