// The native main window driven by the dialog core, with the scripted reading program registered
// in the registry: a whole run from the first start to Cancel, Stop while the reader works, and
// the windows around the dialog.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "platform/win32/wide_text.h"
#include "registration/reader_registration.h"
#include "resources/resource_ids.h"
#include "settings/scratch_registry_win32.h"
#include "settings/settings_store.h"
#include "support/temp_tree.h"
#include "ui_win32/prompts.h"
#include "ui_win32/quillrun_dlg.h"
#include "ui_win32/window_test_support.h"

namespace quillrun::test {
namespace {

using platform::ToWide;

class QuillrunDlgWin32 : public ScratchRegistry {
  protected:
    QuillrunDlgWin32() {
        registerReader(ToWide(kReaderRegistrationKey), ToWide(SCRIPTED_READER_PATH));
        win32ui::prompts::SetScript(&prompts);
    }
    ~QuillrunDlgWin32() override { win32ui::prompts::SetScript(nullptr); }

    HWND open() {
        window = dialog.Create();
        return window;
    }
    HWND control(int id) const { return ::GetDlgItem(window, id); }
    std::string text(int id) const { return WindowText(control(id)); }
    // As the user types: the field's change notification reaches the behaviour.
    void type(int id, const std::string& value) {
        ::SetWindowTextW(control(id), ToWide(value).c_str());
    }
    void click(int id) { ::SendMessageW(control(id), BM_CLICK, 0, 0); }
    // Lets the cycle under way on the worker end, as the program's message loop would.
    void settle() {
        ASSERT_TRUE(
            ProcessMessagesUntil([this] { return !dialog.behaviour().work().cycleRunning(); }));
    }

    // Fields for a run over in/ into out/, logging to activity.log, with reader options.
    void fillSettings(const std::string& readerOptions) {
        type(kSourcePathEdit, tree.makeFolder("in"));
        type(kDestPathEdit, tree.makeFolder("out"));
        type(kLogPathEdit, tree.path("activity.log"));
        type(kCommandArgsEdit, "-in:^S -out:^D -nomessage -x " + readerOptions);
    }

    TempTree tree;
    win32ui::prompts::Script prompts;
    win32ui::CQuillrunDlg dialog{::GetModuleHandleW(nullptr)};
    HWND window = nullptr;
};

TEST_F(QuillrunDlgWin32, WholeRunConvertsLogsWithCrLfAndSavesOnCancelAfterOk) {
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(WindowText(window), "Quillrun");
    EXPECT_EQ(text(kStatusEdit), "Please check the settings and press OK");
    EXPECT_EQ(::SendMessageW(control(kPasswordEdit), EM_GETPASSWORDCHAR, 0, 0), '*');
    const HMENU menu = ::GetSystemMenu(window, FALSE);
    const int items = ::GetMenuItemCount(menu);
    ASSERT_GE(items, 2);
    EXPECT_EQ(::GetMenuItemID(menu, items - 1), kAboutCommand);
    wchar_t about[64];
    ::GetMenuStringW(menu, kAboutCommand, about, 64, MF_BYCOMMAND);
    EXPECT_EQ(platform::ToUtf8(about), "&About Quillrun...");

    click(kOkButton);
    EXPECT_EQ(prompts.messages,
              std::vector<std::string>{"You need to specify a source hierarchy first."});

    const std::string image = tree.writeFile("in/box 1/\xce\xb1 page.tif");
    fillSettings("--stats=600,6,9,0,0|800,20,10,0,0");
    type(kUserEdit, "scanner");
    type(kPasswordEdit, "bTx7 secret");
    click(kOkButton);  // the first cycle starts at once and converts the image
    settle();
    const std::string document = tree.path("out/box 1/\xce\xb1 page.orx");
    EXPECT_TRUE(Exists(document));
    EXPECT_EQ(text(kStatusEdit), "Working");
    for (const int locked :
         {kSourcePathEdit, kDestPathEdit, kSourceBrowseButton, kDestBrowseButton, kOkButton}) {
        EXPECT_FALSE(::IsWindowEnabled(control(locked))) << locked;
    }
    EXPECT_TRUE(::IsWindowEnabled(control(kStatisticsButton)));
    const std::string screen = text(kActivityLogEdit);
    EXPECT_NE(screen.find(":  " + document + " has been created.\r\n"), std::string::npos);
    EXPECT_NE(screen.find(":  It contains 2 pages.\r\n"), std::string::npos);
    EXPECT_EQ(ReadFile(tree.path("activity.log")), screen);

    ::SendMessageW(window, WM_TIMER, app::kWorkTimerId, 0);  // the document is released
    settle();
    EXPECT_EQ(text(kStatusEdit), "Waiting for work");
    type(kCommandArgsEdit, "-in:^S -out:^D -x");  // edits after OK are saved too
    click(kCancelButton);
    EXPECT_TRUE(dialog.ended());
    Settings saved;
    saved.writeLog = false;
    LoadSettings(saved);
    EXPECT_EQ(saved.sourcePath, tree.path("in"));
    EXPECT_EQ(saved.destPath, tree.path("out"));
    EXPECT_EQ(saved.commandArgs, "-in:^S -out:^D -x");
    EXPECT_EQ(saved.user, "scanner");
    EXPECT_EQ(saved.password, "bTx7 secret");
    EXPECT_TRUE(saved.writeLog);
}

// Stop by a click and by Enter: the dialog's loop serves only the main dialog's keys.
TEST_F(QuillrunDlgWin32, StopInTheProgressWindowEndsAReaderThatNeverEnds) {
    ASSERT_NE(open(), nullptr);
    fillSettings("--sleep-forever");
    const std::pair<UINT, WPARAM> presses[] = {{BM_CLICK, 0}, {WM_KEYDOWN, VK_RETURN}};
    for (const auto& [message, key] : presses) {
        const std::string image = tree.writeFile("in/slow" + std::to_string(message) + ".tif");
        bool wasModal = false;
        WhenModalWindowShows(window, [&](HWND progress) {
            wasModal = !::IsWindowEnabled(window);
            ::SendMessageW(::GetDlgItem(progress, win32ui::kProgressStopButton), message, key, 0);
        });
        if (message == BM_CLICK) {
            click(kOkButton);
        } else {
            ::SendMessageW(window, WM_TIMER, app::kWorkTimerId, 0);
        }
        settle();
        EXPECT_TRUE(wasModal) << message;
        EXPECT_EQ(ReadFile(tree.path("out/slow" + std::to_string(message) + ".bad")), image)
            << message;
        EXPECT_NE(
            text(kActivityLogEdit).find("Warning! - no ORX file was created for " + image + "."),
            std::string::npos)
            << message;
        EXPECT_TRUE(::IsWindowEnabled(window)) << message;
    }
}

TEST_F(QuillrunDlgWin32, StatisticsSortByAClickedColumnAndAboutShowsTheVersion) {
    ASSERT_NE(open(), nullptr);
    tree.writeFile("in/a.tif");
    fillSettings("--stats=1000,0,0,0,0|999,0,0,0,0|5,5,0,0,0");
    click(kOkButton);
    settle();
    ASSERT_TRUE(::IsWindowEnabled(control(kStatisticsButton)));

    std::vector<std::string> inHarvestOrder;
    std::vector<std::string> byCharacters;
    std::string caption;
    WhenModalWindowShows(window, [&](HWND statistics) {
        caption = WindowText(statistics);
        const HWND list = ::GetDlgItem(statistics, kStatisticsList);
        const auto column = [&](int subItem) {
            std::vector<std::string> cells;
            for (int row = 0; row < ListView_GetItemCount(list); ++row) {
                wchar_t cell[64] = L"";
                ListView_GetItemText(list, row, subItem, cell, 64);
                cells.push_back(platform::ToUtf8(cell));
            }
            return cells;
        };
        inHarvestOrder = column(2);
        NMLISTVIEW click{};
        click.hdr = {list, static_cast<UINT_PTR>(kStatisticsList), LVN_COLUMNCLICK};
        click.iItem = -1;
        click.iSubItem = 2;
        ::SendMessageW(statistics, WM_NOTIFY, kStatisticsList, reinterpret_cast<LPARAM>(&click));
        byCharacters = column(2);
        ::SendMessageW(statistics, WM_COMMAND, IDOK, 0);
    });
    click(kStatisticsButton);
    EXPECT_EQ(caption, "Recognition Statistics");
    EXPECT_EQ(inHarvestOrder, (std::vector<std::string>{"1,000", "999", "5"}));
    EXPECT_EQ(byCharacters, (std::vector<std::string>{"5", "999", "1,000"}));

    std::string version;
    WhenModalWindowShows(window, [&](HWND about) {
        caption = WindowText(about);
        const HWND label = ::GetWindow(::GetWindow(about, GW_CHILD), GW_HWNDNEXT);
        version = WindowText(label);
        ::SendMessageW(about, WM_COMMAND, IDOK, 0);
    });
    ::SendMessageW(window, WM_SYSCOMMAND, kAboutCommand, 0);
    EXPECT_EQ(caption, "About Quillrun");
    EXPECT_EQ(version, "Quillrun Version 1.0");
}

}  // namespace
}  // namespace quillrun::test
