// The settings imported for the service: the account it runs as holds, value for value and byte
// for byte, what the user's dialog saved, whatever it held before; nothing changes when there is
// nothing to import or nowhere to put it.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "service/settings_import.h"
#include "settings/scratch_registry_win32.h"
#include "settings/settings_store.h"

namespace quillrun::test {
namespace {

using Values = std::map<std::wstring, std::pair<DWORD, std::string>>;

// Every value of the settings key below root, with its type and stored bytes.
Values SettingsValues(HKEY root) {
    Values values;
    platform::UniqueRegistryKey key;
    if (::RegOpenKeyExW(root, L"Software\\Tandrel\\Quillrun", 0, KEY_READ, key.put()) !=
        ERROR_SUCCESS) {
        return values;
    }
    wchar_t name[256];
    std::string data(4096, '\0');
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 256, type = 0, size = static_cast<DWORD>(data.size());
        if (::RegEnumValueW(key.get(), i, name, &nameLength, nullptr, &type,
                            reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS) {
            return values;
        }
        values[name] = {type, data.substr(0, size)};
    }
}

using SettingsImportWin32 = ScratchRegistry;

TEST_F(SettingsImportWin32, TheServicesAccountGetsTheDialogsSettingsExactlyOrNothingChanges) {
    Settings saved;
    saved.sourcePath = "D:\\scans\\\xce\xb1";
    saved.destPath = "D:\\out";
    saved.user = "scanner";
    saved.password = "p\xc3\xa4ss \xe2\x82\xac!";  // scrambled into bytes of the ANSI code page
    const struct {
        const char* name;
        bool dialogSaved;
        bool accountLoaded;
        bool isCurrentUser;
        bool done;
    } cases[] = {
        {"over what the account held", true, true, false, true},
        {"nothing saved yet", false, true, false, false},
        {"the account's registry is not loaded", true, false, false, false},
        {"the service runs as the user", true, true, true, true},
    };
    for (const auto& c : cases) {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tandrel\\Quillrun");
        ::RegDeleteTreeW(HKEY_USERS, L"S-1-5-20");
        if (c.dialogSaved) {
            SaveSettings(saved);
        }
        HKEY account = nullptr;
        if (c.accountLoaded) {
            // An earlier import, and a clear-text password the service would convert at its start.
            account = accountKey(L"S-1-5-20");
            platform::UniqueRegistryKey earlier;
            ::RegCreateKeyExW(account, L"Software\\Tandrel\\Quillrun", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, earlier.put(), nullptr);
            ::RegSetValueExW(earlier.get(), L"pwd", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(L"old"), 8);
        }
        const Values before = account != nullptr ? SettingsValues(account) : Values{};
        const service::ImportResult result = service::ImportSettingsTo(
            {"NT AUTHORITY\\NetworkService", "S-1-5-20", c.isCurrentUser});
        EXPECT_EQ(result.done, c.done) << c.name << ": " << result.message;
        const bool copied = c.done && !c.isCurrentUser;
        if (account != nullptr) {
            EXPECT_EQ(SettingsValues(account), copied ? SettingsValues(HKEY_CURRENT_USER) : before)
                << c.name;
        }
    }
}

}  // namespace
}  // namespace quillrun::test
