#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/unique_handle.h"

namespace quillrun::test {

// Gives each test a registry of its own: for the test's life, this process's HKEY_CURRENT_USER
// and HKEY_LOCAL_MACHINE are two fresh keys below HKEY_CURRENT_USER\Software\Tandrel, which are
// removed afterwards. Nothing of the user's own settings or registrations is read or changed.
// HKEY_USERS is a fresh key too, in which accountKey makes an account's part of the registry.
class ScratchRegistry : public ::testing::Test {
  protected:
    ScratchRegistry();
    ~ScratchRegistry() override;

    // The settings key as an earlier installation would have written it, through the real calls.
    HKEY settingsKey();
    // Writes the default value of a key of the machine's part as a reading program's installer
    // does.
    void registerReader(const std::wstring& keyPath, const std::wstring& path);
    platform::UniqueRegistryKey accountKey(const std::wstring& sid);

  private:
    std::wstring m_base;
    platform::UniqueRegistryKey m_user;
    platform::UniqueRegistryKey m_machine;
    platform::UniqueRegistryKey m_users;
    platform::UniqueRegistryKey m_settings;
};

}  // namespace quillrun::test
