// The three dialogs as the system's dialog manager makes them from the resource library's
// templates: every control in template order with its class, id, styles, text and place, and
// the tab order.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "resources/about_dialog_template.h"
#include "resources/main_dialog_template.h"
#include "resources/page_stats_dialog_template.h"
#include "ui_win32/dialog_template_win32.h"
#include "ui_win32/window_test_support.h"

namespace quillrun::test {
namespace {

INT_PTR CALLBACK Passive(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

const char* ClassNameOf(res::ControlClass controlClass) {
    switch (controlClass) {
        case res::ControlClass::Button:
            return "Button";
        case res::ControlClass::Edit:
            return "Edit";
        case res::ControlClass::Static:
            return "Static";
        case res::ControlClass::ListView:
            return "SysListView32";
    }
    return "";
}

std::string ClassOf(HWND window) {
    wchar_t name[64];
    const int length = ::GetClassNameW(window, name, 64);
    return std::string(name, name + length);
}

TEST(DialogTemplateWin32, DialogManagerMakesEveryControlAsTheTemplateSays) {
    for (const res::DialogTemplate* source :
         {&res::kMainDialog, &res::kPageStatsDialog, &res::kAboutDialog}) {
        const win32ui::DialogTemplateMemory memory(*source);
        const HWND dialog = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), memory.get(),
                                                         nullptr, Passive, 0);
        ASSERT_NE(dialog, nullptr) << source->id;
        EXPECT_EQ(WindowText(dialog), source->caption);
        std::vector<HWND> tabStops;
        HWND control = ::GetWindow(dialog, GW_CHILD);
        for (const res::TemplateControl& expected : source->controls) {
            ASSERT_NE(control, nullptr) << expected.objectName;
            EXPECT_EQ(::GetDlgCtrlID(control), expected.id) << expected.objectName;
            EXPECT_EQ(ClassOf(control), ClassNameOf(expected.controlClass)) << expected.objectName;
            auto style = static_cast<std::uint32_t>(::GetWindowLongW(control, GWL_STYLE));
            // The dialog manager draws an edit's or a list's border sunken: WS_BORDER becomes
            // WS_EX_CLIENTEDGE.
            if ((::GetWindowLongW(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0) {
                style |= WS_BORDER;
            }
            EXPECT_EQ(style & expected.style, expected.style) << expected.objectName;
            if ((expected.style & res::style::kStaticTypeMask) != res::style::kStaticIcon ||
                expected.controlClass != res::ControlClass::Static) {
                EXPECT_EQ(WindowText(control), expected.text) << expected.objectName;
            }
            RECT place{expected.x, expected.y, expected.x + expected.width,
                       expected.y + expected.height};
            ::MapDialogRect(dialog, &place);
            RECT actual{};
            ::GetWindowRect(control, &actual);
            ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
            EXPECT_EQ(actual.left, place.left) << expected.objectName;
            EXPECT_EQ(actual.top, place.top) << expected.objectName;
            if ((expected.style & res::style::kTabStop) != 0) {
                tabStops.push_back(control);
            }
            control = ::GetWindow(control, GW_HWNDNEXT);
        }
        EXPECT_EQ(control, nullptr) << "no control beyond the template's";
        // Tab goes from each tab stop to the next one in template order, enabled ones only.
        std::vector<HWND> enabled;
        for (const HWND stop : tabStops) {
            if (::IsWindowEnabled(stop)) {
                enabled.push_back(stop);
            }
        }
        for (std::size_t i = 0; i < enabled.size(); ++i) {
            EXPECT_EQ(::GetNextDlgTabItem(dialog, enabled[i], FALSE),
                      enabled[(i + 1) % enabled.size()])
                << source->id << " tab stop " << i;
        }
        ::DestroyWindow(dialog);
    }
}

}  // namespace
}  // namespace quillrun::test
