#pragma once

#include <cstdint>
#include <span>

namespace quillrun::ui {

// The window class a template control is made of; its style bits say which of the class's forms
// it takes (a group box or a check box is a kind of button, a multi-line field a kind of edit).
enum class ControlClass { Button, Edit, Static };

// Style bits of dialog templates, as the original platform numbers them.
namespace style {
inline constexpr std::uint32_t kDisabled = 0x08000000;
inline constexpr std::uint32_t kVerticalScroll = 0x00200000;
inline constexpr std::uint32_t kHorizontalScroll = 0x00100000;
inline constexpr std::uint32_t kGroup = 0x00020000;
inline constexpr std::uint32_t kTabStop = 0x00010000;

inline constexpr std::uint32_t kButtonTypeMask = 0x0000000F;
inline constexpr std::uint32_t kDefaultPushButton = 0x00000001;
inline constexpr std::uint32_t kAutoCheckBox = 0x00000003;
inline constexpr std::uint32_t kGroupBox = 0x00000007;
inline constexpr std::uint32_t kButtonCentre = 0x00000300;

inline constexpr std::uint32_t kEditMultiLine = 0x00000004;
inline constexpr std::uint32_t kEditPassword = 0x00000020;
inline constexpr std::uint32_t kEditReadOnly = 0x00000800;

inline constexpr std::uint32_t kStaticTypeMask = 0x0000001F;
inline constexpr std::uint32_t kStaticRight = 0x00000002;
inline constexpr std::uint32_t kStaticIcon = 0x00000003;
inline constexpr std::uint32_t kStaticNoPrefix = 0x00000080;
}  // namespace style

inline constexpr int kNoControlId = -1;

// One control of a dialog template. Position and size are in dialog units.
struct TemplateControl {
    int id;
    ControlClass controlClass;
    const char* text;
    int x, y, width, height;
    std::uint32_t style;
    const char* objectName;  // how tests and style sheets find the widget
};

struct DialogTemplate {
    int id;
    const char* caption;
    int width, height;  // of the client area, in dialog units
    // The controls in template order, which is also the tab order.
    std::span<const TemplateControl> controls;
};

// The main dialog's template.
const DialogTemplate& MainDialogTemplate();

}  // namespace quillrun::ui
