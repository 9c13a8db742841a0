#include "settings/scratch_registry_win32.h"

#include <atomic>

#include "settings/settings_store.h"

namespace quillrun::test {
namespace {

platform::UniqueRegistryKey CreateKey(HKEY root, const std::wstring& path) {
    platform::UniqueRegistryKey key;
    ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                      nullptr);
    return key;
}

}  // namespace

ScratchRegistry::ScratchRegistry() {
    static std::atomic<int> counter{0};
    m_base = L"Software\\Tandrel\\QuillrunTests\\" + std::to_wstring(::GetCurrentProcessId()) +
             L"-" + std::to_wstring(counter++);
    m_user = CreateKey(HKEY_CURRENT_USER, m_base + L"\\user");
    m_machine = CreateKey(HKEY_CURRENT_USER, m_base + L"\\machine");
    m_users = CreateKey(HKEY_CURRENT_USER, m_base + L"\\users");
    EXPECT_TRUE(m_user && m_machine && m_users);
    EXPECT_EQ(::RegOverridePredefKey(HKEY_CURRENT_USER, m_user.get()), ERROR_SUCCESS);
    EXPECT_EQ(::RegOverridePredefKey(HKEY_LOCAL_MACHINE, m_machine.get()), ERROR_SUCCESS);
    EXPECT_EQ(::RegOverridePredefKey(HKEY_USERS, m_users.get()), ERROR_SUCCESS);
}

ScratchRegistry::~ScratchRegistry() {
    m_settings.reset();
    ::RegOverridePredefKey(HKEY_USERS, nullptr);
    ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    m_user.reset();
    m_machine.reset();
    m_users.reset();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, m_base.c_str());
}

HKEY ScratchRegistry::settingsKey() {
    if (!m_settings) {
        m_settings = CreateKey(HKEY_CURRENT_USER, L"Software\\Tandrel\\Quillrun");
    }
    return m_settings.get();
}

void ScratchRegistry::registerReader(const std::wstring& keyPath, const std::wstring& path) {
    const platform::UniqueRegistryKey key = CreateKey(HKEY_LOCAL_MACHINE, keyPath);
    ::RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                     static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
}

platform::UniqueRegistryKey ScratchRegistry::accountKey(const std::wstring& sid) {
    return CreateKey(m_users.get(), sid);
}

}  // namespace quillrun::test
