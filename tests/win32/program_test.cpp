// quillrun.exe itself, as a user runs it, with the scripted reading program registered in the
// machine's App Paths: it shows dialog 102, converts a tree once OK is pressed, writes the log
// with CR LF line ends, and keeps its settings in the user's registry on Cancel. The test drives
// the program's window from outside through the messages a user's clicks and keys send. It runs
// in the test harness's own Wine prefix: it writes the machine's registration and the user's
// settings of that prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "registration/reader_registration.h"
#include "resources/resource_ids.h"
#include "support/background_process.h"
#include "support/temp_tree.h"

namespace quillrun::test {
namespace {

using platform::ToUtf8;
using platform::ToWide;

constexpr const wchar_t* kSettingsKey = L"Software\\Tandrel\\Quillrun";

void SetMachineDefault(const std::wstring& keyPath, const std::wstring& value) {
    platform::UniqueRegistryKey key;
    ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                      key.put(), nullptr);
    ::RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::string UserText(const wchar_t* name) {
    wchar_t value[1024] = L"";
    DWORD size = sizeof value;
    if (::RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, value,
                       &size) != ERROR_SUCCESS) {
        return "(none)";
    }
    return ToUtf8(value);
}

std::string ControlText(HWND window, int id) {
    wchar_t text[4096] = L"";
    ::GetDlgItemTextW(window, id, text, 4096);
    return ToUtf8(text);
}

TEST(ProgramWin32, ConvertsATreeLogsWithCrLfAndKeepsItsSettingsOnCancelAfterOk) {
    const std::wstring readerKey = ToWide(kReaderRegistrationKey);
    SetMachineDefault(readerKey, ToWide(SCRIPTED_READER_PATH));
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    TempTree tree;
    tree.writeFile("in/box 1/scan.tif");
    const std::string source = tree.makeFolder("in");
    const std::string destination = tree.makeFolder("out");
    const std::string log = tree.path("activity.log");

    BackgroundProcess program({HelperProgramPath("quillrun.exe")}, Console::None);
    HWND window = nullptr;
    // Found as soon as it is made; ready once it has loaded the settings and says so.
    ASSERT_TRUE(WaitUntil([&] {
        window = ::FindWindowW(L"#32770", L"Quillrun");
        return window != nullptr &&
               ControlText(window, kStatusEdit) == "Please check the settings and press OK";
    }));
    const struct {
        int id;
        std::string text;
    } fields[] = {{kSourcePathEdit, source},
                  {kDestPathEdit, destination},
                  {kLogPathEdit, log},
                  {kCommandArgsEdit, "-in:^S -out:^D -nomessage -x --burn-ms=1500"}};
    for (const auto& field : fields) {
        ::SetDlgItemTextW(window, field.id, ToWide(field.text).c_str());
    }
    ::SendMessageW(::GetDlgItem(window, kOkButton), BM_CLICK, 0, 0);
    // The work runs on a thread of its own: the click returns at once.
    ASSERT_TRUE(WaitUntil([&] { return ReadFile(log).find("It contains") != std::string::npos; }));
    EXPECT_TRUE(Exists(destination + "\\box 1\\scan.orx"));
    const std::string lines = ReadFile(log);
    EXPECT_NE(lines.find(":  " + destination + "\\box 1\\scan.orx has been created.\r\n"),
              std::string::npos)
        << lines;
    EXPECT_NE(lines.find(":  It contains 1 page.\r\n"), std::string::npos) << lines;
    EXPECT_EQ(lines, ControlText(window, kActivityLogEdit));

    // Esc, typed once the progress window has gone, reaches the control with the keyboard focus.
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(window); }));
    ::keybd_event(VK_ESCAPE, 0, 0, 0);
    ::keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(window); }));
    program.wait();
    EXPECT_EQ(UserText(L"sourcePath"), source);
    EXPECT_EQ(UserText(L"destPath"), destination);
    EXPECT_EQ(UserText(L"logPath"), log);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, readerKey.c_str());
}

}  // namespace
}  // namespace quillrun::test
