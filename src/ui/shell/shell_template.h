#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace quillrun::ui {

// One control of the statistics window's or the About box's template. Position and size are in
// dialog units; the style bits are kept as the original platform numbers them, for the record.
struct ShellControl {
    int id;  // -1 for labels and pictures, which have no id of their own
    const char* text;
    int x, y, width, height;
    std::uint32_t style;
    const char* objectName;  // how the dialog, tests and style sheets find the widget
};

struct ShellTemplate {
    int id;
    const char* caption;
    int width, height;                       // of the client area, in dialog units
    std::span<const ShellControl> controls;  // in template order, which is also the tab order

    // The control of that object name; every caller names one that its template holds.
    const ShellControl& control(std::string_view objectName) const {
        for (const ShellControl& candidate : controls) {
            if (objectName == candidate.objectName) {
                return candidate;
            }
        }
        return controls.front();
    }
};

}  // namespace quillrun::ui
