#include "settings/settings_environment.h"

#include <cstdio>
#include <cstdlib>

namespace quillrun::test {

SettingsEnvironment::SettingsEnvironment() {
    setVariable("HOME", m_tree.path("home"));
    setVariable("XDG_CONFIG_HOME", configHome());
    setVariable("XDG_CONFIG_DIRS", m_tree.path("xdg-a") + ":" + m_tree.path("xdg-b"));
}

SettingsEnvironment::~SettingsEnvironment() {
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
        if (it->second) {
            ::setenv(it->first.c_str(), it->second->c_str(), 1);
        } else {
            ::unsetenv(it->first.c_str());
        }
    }
}

void SettingsEnvironment::setVariable(const char* name, const std::optional<std::string>& value) {
    const char* old = std::getenv(name);
    m_saved.emplace_back(name, old == nullptr ? std::nullopt : std::optional<std::string>(old));
    if (value) {
        ::setenv(name, value->c_str(), 1);
    } else {
        ::unsetenv(name);
    }
}

std::string SettingsEnvironment::machineHive(int folder) const {
    return m_tree.path(folder == 0 ? "xdg-a" : "xdg-b") + "/quillrun/machine.reg";
}

void SettingsEnvironment::writeUserHive(std::string_view text) const {
    WriteFile(userHive(), text, false);
}

hive::RegistryDocument SettingsEnvironment::userDocument() const {
    auto document = hive::ParseRegistryText(ReadFile(userHive()));
    EXPECT_TRUE(document.has_value()) << ReadFile(userHive());
    return document.value_or(hive::RegistryDocument{});
}

std::vector<hive::RegistryFileValue> SettingsEnvironment::settingsValues() const {
    const auto document = userDocument();
    const auto* section = document.findSection("HKEY_CURRENT_USER\\Software\\Tandrel\\Quillrun");
    return section == nullptr ? std::vector<hive::RegistryFileValue>{} : section->values;
}

std::string SettingsHive(std::string_view valueLines) {
    return "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Tandrel\\Quillrun]\n" +
           std::string(valueLines) + "\n";
}

std::string HexText(std::string_view bytes) {
    std::string out = "hex(1):";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char item[8];
        std::snprintf(item, sizeof item, "%s%02x", i == 0 ? "" : ",",
                      static_cast<unsigned char>(bytes[i]));
        out += item;
    }
    return out;
}

}  // namespace quillrun::test
