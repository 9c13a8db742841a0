#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "hive/registry_file_format.h"
#include "support/temp_tree.h"

namespace quillrun::test {

// Gives each test its own registry: XDG_CONFIG_HOME, XDG_CONFIG_DIRS and HOME point into a
// temporary folder, and the environment is restored afterwards.
class SettingsEnvironment : public ::testing::Test {
  protected:
    SettingsEnvironment();
    ~SettingsEnvironment() override;

    void setVariable(const char* name, const std::optional<std::string>& value);

    std::string configHome() const { return m_tree.path("config"); }
    std::string userHive() const { return m_tree.path("config/quillrun/user.reg"); }
    // The machine hive in the first or second of the XDG_CONFIG_DIRS folders.
    std::string machineHive(int folder = 0) const;

    void writeUserHive(std::string_view text) const;
    // The user hive as parsed now; fails the test when it cannot be parsed.
    hive::RegistryDocument userDocument() const;
    // The values of the settings key in the user hive, in the file's order.
    std::vector<hive::RegistryFileValue> settingsValues() const;

    TempTree m_tree;

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

// The text of a user hive holding these value lines in the settings key.
std::string SettingsHive(std::string_view valueLines);

// A hex(1): value list of these bytes, as the file format writes non-printable texts.
std::string HexText(std::string_view bytes);

}  // namespace quillrun::test
