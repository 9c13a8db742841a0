#include "ui_win32/dialog_template_win32.h"

#include "platform/win32/wide_text.h"
#include "resources/resource_ids.h"

namespace quillrun::win32ui {
namespace {

// The atoms by which a template names the system's predefined window classes.
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;
// A WORD of 0xFFFF announces an ordinal (an atom or a resource id) instead of a text.
constexpr WORD kOrdinalMark = 0xFFFF;
constexpr WORD kExtendedTemplate = 0xFFFF;

bool IsIconPicture(const res::TemplateControl& control) {
    return control.controlClass == res::ControlClass::Static &&
           (control.style & res::style::kStaticTypeMask) == res::style::kStaticIcon;
}

}  // namespace

DialogTemplateMemory::DialogTemplateMemory(const res::DialogTemplate& source) {
    AddWord(1);  // the version of the extended form
    AddWord(kExtendedTemplate);
    AddDword(0);  // no help context
    AddDword(source.extendedStyle);
    AddDword(source.style);
    AddWord(static_cast<unsigned>(source.controls.size()));
    AddWord(0);  // x and y: the system places the dialog
    AddWord(0);
    AddWord(static_cast<unsigned>(source.width));
    AddWord(static_cast<unsigned>(source.height));
    AddWord(0);  // no menu
    AddWord(0);  // the dialog manager's own window class
    AddText(source.caption);
    if ((source.style & res::style::kSetFont) != 0) {
        AddWord(static_cast<unsigned>(source.font.pointSize));
        AddWord(FW_NORMAL);
        AddWord(DEFAULT_CHARSET << 8);  // not italic, the default character set
        AddText(source.font.name);
    }
    for (const res::TemplateControl& control : source.controls) {
        AddControl(control);
    }
}

void DialogTemplateMemory::AddControl(const res::TemplateControl& control) {
    AlignToDword();
    AddDword(0);  // no help context
    AddDword(0);  // no extended style
    AddDword(control.style);
    AddWord(static_cast<unsigned>(control.x));
    AddWord(static_cast<unsigned>(control.y));
    AddWord(static_cast<unsigned>(control.width));
    AddWord(static_cast<unsigned>(control.height));
    AddDword(static_cast<std::uint32_t>(control.id));  // kNoControlId is the system's -1 too
    switch (control.controlClass) {
        case res::ControlClass::Button:
            AddWord(kOrdinalMark);
            AddWord(kButtonAtom);
            break;
        case res::ControlClass::Edit:
            AddWord(kOrdinalMark);
            AddWord(kEditAtom);
            break;
        case res::ControlClass::Static:
            AddWord(kOrdinalMark);
            AddWord(kStaticAtom);
            break;
        case res::ControlClass::ListView:
            AddText("SysListView32");
            break;
    }
    if (IsIconPicture(control)) {
        AddWord(kOrdinalMark);
        AddWord(static_cast<unsigned>(kApplicationIconId));
    } else {
        AddText(control.text);
    }
    AddWord(0);  // no creation data
}

void DialogTemplateMemory::AddWord(unsigned value) {
    m_words.push_back(static_cast<WORD>(value));
}

void DialogTemplateMemory::AddDword(std::uint32_t value) {
    AddWord(value & 0xFFFF);
    AddWord(value >> 16);
}

void DialogTemplateMemory::AddText(const char* utf8) {
    for (const wchar_t unit : platform::ToWide(utf8)) {
        AddWord(static_cast<WORD>(unit));
    }
    AddWord(0);
}

// Every control's entry starts on a DWORD boundary of the template.
void DialogTemplateMemory::AlignToDword() {
    if (m_words.size() % 2 != 0) {
        AddWord(0);
    }
}

}  // namespace quillrun::win32ui
