// The setup under Windows: a silent install puts the program, its guide, a Start-menu shortcut
// and an Add/Remove Programs entry in place; a silent uninstall takes them away again. The
// reading program's registration is never touched. With /SERVICE: the service (Wine keeps no
// delayed start, recovery or failure actions flag, which go unchecked) and its event source.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include "platform/process.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "registration/reader_registration.h"
#include "support/temp_tree.h"

namespace quillrun::test {
namespace {

using platform::ToUtf8;
using platform::ToWide;

constexpr const wchar_t* kUninstallKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillrun";
constexpr const wchar_t* kServiceKey = L"SYSTEM\\CurrentControlSet\\Services\\Quillrun";
constexpr const wchar_t* kEventSourceKey =
    L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Quillrun";

std::string MachineText(const wchar_t* keyPath, const wchar_t* name) {
    wchar_t value[1024] = L"";
    DWORD size = sizeof value;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, keyPath, name,
                       RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND | RRF_SUBKEY_WOW6464KEY,
                       nullptr, value, &size) != ERROR_SUCCESS) {
        return "(none)";
    }
    return ToUtf8(value);
}

std::string CommonProgramsFolder() {
    wchar_t* folder = nullptr;
    ::SHGetKnownFolderPath(FOLDERID_CommonPrograms, 0, nullptr, &folder);
    std::string path = folder != nullptr ? ToUtf8(folder) : std::string();
    ::CoTaskMemFree(folder);
    return path;
}

bool RunToTheEnd(const std::string& commandLine) {
    return platform::RunProgram(commandLine).started;
}

// Once without the service, which the setup leaves out unless asked, and once with it.
void InstallAndUninstall(bool withService) {
    const std::wstring readerKey = ToWide(kReaderRegistrationKey);
    const std::string registered = "C:\\Reader\\Orlavex.exe";
    platform::UniqueRegistryKey reader;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, readerKey.c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, reader.put(), nullptr),
              ERROR_SUCCESS);
    const std::wstring readerPath = ToWide(registered);
    ::RegSetValueExW(reader.get(), nullptr, 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(readerPath.c_str()),
                     static_cast<DWORD>((readerPath.size() + 1) * sizeof(wchar_t)));

    TempTree tree;
    const std::string folder = tree.path("Program Files/Quillrun");
    const std::string service = folder + "\\quillrun-service.exe";
    // /D= names the folder; it must come last and stands unquoted, blanks and all.
    ASSERT_TRUE(RunToTheEnd("\"" + HelperProgramPath("..\\" QUILLRUN_SETUP_FILE) + "\" /S" +
                            (withService ? " /SERVICE" : "") + " /D=" + folder));
    EXPECT_EQ(Exists(service), withService);
    EXPECT_EQ(MachineText(kServiceKey, L"ImagePath") + MachineText(kServiceKey, L"ObjectName"),
              withService ? "\"" + service + "\"NT AUTHORITY\\NetworkService" : "(none)(none)");
    EXPECT_EQ(MachineText(kEventSourceKey, L"EventMessageFile"), withService ? service : "(none)");
    const std::string shortcut = CommonProgramsFolder() + "\\Quillrun.lnk";
    for (const std::string& file :
         {folder + "\\quillrun.exe", folder + "\\Quillrun.html",
          folder + "\\Quillrun-images\\main-window.png", folder + "\\Uninstall.exe", shortcut}) {
        EXPECT_TRUE(Exists(file)) << file;
    }
    EXPECT_EQ(MachineText(kUninstallKey, L"DisplayName"), "Quillrun");
    EXPECT_EQ(MachineText(kUninstallKey, L"UninstallString"), "\"" + folder + "\\Uninstall.exe\"");
    EXPECT_EQ(MachineText(kUninstallKey, L"QuietUninstallString"),
              "\"" + folder + "\\Uninstall.exe\" /S");

    // _?= keeps the uninstaller where it is, so it is waited for; it cannot remove itself then.
    ASSERT_TRUE(RunToTheEnd("\"" + folder + "\\Uninstall.exe\" /S _?=" + folder));
    for (const std::string& file : {folder + "\\quillrun.exe", folder + "\\Quillrun.html",
                                    folder + "\\Quillrun-images", shortcut, service}) {
        EXPECT_FALSE(Exists(file)) << file;
    }
    EXPECT_EQ(MachineText(kUninstallKey, L"DisplayName"), "(none)");
    EXPECT_EQ(MachineText(kServiceKey, L"ImagePath"), "(none)");
    EXPECT_EQ(MachineText(kEventSourceKey, L"EventMessageFile"), "(none)");
    EXPECT_EQ(MachineText(readerKey.c_str(), nullptr), registered);
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, readerKey.c_str());
}

TEST(InstallerWin32, SilentInstallAndUninstallWithAndWithoutTheServiceLeaveTheReaderAlone) {
    InstallAndUninstall(false);
    InstallAndUninstall(true);
}

}  // namespace
}  // namespace quillrun::test
