// The settings imported for the service's account: value for value and byte for byte what the
// dialog saved, whatever it held before; and why not, where the account's registry is not there.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>

#include "service/settings_import.h"
#include "settings/scratch_registry_win32.h"
#include "settings/settings_store.h"

namespace quillrun::test {
namespace {

// Every value of the settings key below root, as its type and its stored bytes.
std::map<std::wstring, std::string> SettingsValues(HKEY root) {
    std::map<std::wstring, std::string> values;
    platform::UniqueRegistryKey key;
    ::RegOpenKeyExW(root, L"Software\\Tandrel\\Quillrun", 0, KEY_READ, key.put());
    wchar_t name[256];
    std::string data(4096, '\0');
    for (DWORD i = 0, length = 256, type = 0, size = 4096;
         key && ::RegEnumValueW(key.get(), i, name, &length, nullptr, &type,
                                reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS;
         ++i, length = 256, size = 4096) {
        values[name] = std::to_string(type) + ":" + data.substr(0, size);
    }
    return values;
}

using SettingsImportWin32 = ScratchRegistry;

TEST_F(SettingsImportWin32, TheServicesAccountGetsTheDialogsSettingsByteForByte) {
    Settings saved;
    saved.sourcePath = "D:\\scans\\\xce\xb1";
    saved.user = "scanner";
    saved.password = "p\xc3\xa4ss \xe2\x82\xac!";  // scrambled into bytes of the ANSI code page
    SaveSettings(saved);
    for (const bool loaded : {true, false}) {  // the account's part of the registry, or none
        ::RegDeleteTreeW(HKEY_USERS, L"S-1-5-20");
        const platform::UniqueRegistryKey account =
            loaded ? accountKey(L"S-1-5-20") : platform::UniqueRegistryKey();
        platform::UniqueRegistryKey earlier;
        // An earlier import, with a clear-text password the service would convert over the copy.
        ::RegCreateKeyExW(account.get(), L"Software\\Tandrel\\Quillrun", 0, nullptr, 0,
                          KEY_ALL_ACCESS, nullptr, earlier.put(), nullptr);
        ::RegSetValueExW(earlier.get(), L"pwd", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"old"),
                         8);
        const service::ImportResult result =
            service::ImportSettingsTo({"NT AUTHORITY\\NetworkService", "S-1-5-20", false});
        EXPECT_EQ(result.done, loaded) << result.message;
        EXPECT_EQ(SettingsValues(account.get()),
                  loaded ? SettingsValues(HKEY_CURRENT_USER) : decltype(SettingsValues(nullptr)){});
    }
}

}  // namespace
}  // namespace quillrun::test
