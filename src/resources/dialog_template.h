#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "resources/resource_ids.h"

namespace quillrun::res {

// The window class a template control is made of; its style bits say which of the class's forms
// it takes (a group box or a check box is a kind of button, a multi-line field a kind of edit).
// The original platform's class names are in the comments.
enum class ControlClass {
    Button,    // "Button"
    Edit,      // "Edit"
    Static,    // "Static"
    ListView,  // "SysListView32"
};

// Style bits of dialogs and their controls, as the original platform numbers them, so that a
// native builder hands them on unchanged.
namespace style {
// Every window.
inline constexpr std::uint32_t kPopup = 0x80000000;
inline constexpr std::uint32_t kChild = 0x40000000;
inline constexpr std::uint32_t kVisible = 0x10000000;
inline constexpr std::uint32_t kDisabled = 0x08000000;
inline constexpr std::uint32_t kCaption = 0x00C00000;
inline constexpr std::uint32_t kBorder = 0x00800000;
inline constexpr std::uint32_t kVerticalScroll = 0x00200000;
inline constexpr std::uint32_t kHorizontalScroll = 0x00100000;
inline constexpr std::uint32_t kSystemMenu = 0x00080000;
inline constexpr std::uint32_t kGroup = 0x00020000;
inline constexpr std::uint32_t kTabStop = 0x00010000;

// Dialogs.
inline constexpr std::uint32_t kModalFrame = 0x00000080;
inline constexpr std::uint32_t kSetFont = 0x00000040;  // the template names its font
// Extended style: the window has a button on the taskbar.
inline constexpr std::uint32_t kAppWindow = 0x00040000;

// Buttons.
inline constexpr std::uint32_t kButtonTypeMask = 0x0000000F;
inline constexpr std::uint32_t kPushButton = 0x00000000;
inline constexpr std::uint32_t kDefaultPushButton = 0x00000001;
inline constexpr std::uint32_t kAutoCheckBox = 0x00000003;
inline constexpr std::uint32_t kGroupBox = 0x00000007;
inline constexpr std::uint32_t kButtonCentre = 0x00000300;

// Edits.
inline constexpr std::uint32_t kEditMultiLine = 0x00000004;
inline constexpr std::uint32_t kEditPassword = 0x00000020;
inline constexpr std::uint32_t kEditAutoHorizontalScroll = 0x00000080;
inline constexpr std::uint32_t kEditReadOnly = 0x00000800;

// Static controls.
inline constexpr std::uint32_t kStaticTypeMask = 0x0000001F;
inline constexpr std::uint32_t kStaticLeft = 0x00000000;
inline constexpr std::uint32_t kStaticRight = 0x00000002;
inline constexpr std::uint32_t kStaticIcon = 0x00000003;
inline constexpr std::uint32_t kStaticNoPrefix = 0x00000080;

// List views. Clickable column headings and multiple selection are the absence of a style.
inline constexpr std::uint32_t kListReport = 0x00000001;
}  // namespace style

// One control of a dialog template. Position and size are in dialog units.
struct TemplateControl {
    int id;  // kNoControlId for labels, group boxes and pictures
    ControlClass controlClass;
    const char* text;
    int x, y, width, height;
    std::uint32_t style;
    const char* objectName;  // how the dialog, tests and style sheets find the widget
};

// The font a template was laid out in. The Qt front end keeps the desktop's font instead and
// measures the dialog units in that, so only a native builder uses it.
struct DialogFont {
    const char* name;
    int pointSize;
};

struct DialogTemplate {
    int id;
    const char* caption;
    int width, height;  // of the client area, in dialog units
    std::uint32_t style;
    std::uint32_t extendedStyle;
    DialogFont font;
    // The controls in template order, which is also the tab order.
    std::span<const TemplateControl> controls;

    // The control of that id or object name; nullptr when the template has none.
    constexpr const TemplateControl* find(int controlId) const {
        for (const TemplateControl& candidate : controls) {
            if (candidate.id == controlId) {
                return &candidate;
            }
        }
        return nullptr;
    }
    constexpr const TemplateControl* find(std::string_view objectName) const {
        for (const TemplateControl& candidate : controls) {
            if (objectName == candidate.objectName) {
                return &candidate;
            }
        }
        return nullptr;
    }

    // The same for code that builds a particular dialog: looked up while compiling, so naming a
    // control that the template lacks stops the build instead of the program. They search anew
    // rather than test find() for nullptr: under the null-pointer sanitizer the compiler no longer
    // takes an object's address for non-null while compiling.
    consteval const TemplateControl& control(int controlId) const {
        for (const TemplateControl& candidate : controls) {
            if (candidate.id == controlId) {
                return candidate;
            }
        }
        throw "the template has no control of that id";  // not a constant: the build stops here
    }
    consteval const TemplateControl& control(std::string_view objectName) const {
        for (const TemplateControl& candidate : controls) {
            if (objectName == candidate.objectName) {
                return candidate;
            }
        }
        throw "the template has no control of that name";  // not a constant: the build stops here
    }
};

}  // namespace quillrun::res
