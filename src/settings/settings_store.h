#pragma once

#include <string>
#include <vector>

#include "settings/settings.h"

namespace quillrun {

inline constexpr const char* kSettingsKeyPath = "Software\\Tandrel\\Quillrun";

// Reads every stored value that is present into settings. A value that cannot be read leaves its
// setting as it was. Returns the names of the values left unread because they are longer than
// kLongestStoredText, so that the caller can say so; every other failure is silent.
std::vector<std::string> LoadSettings(Settings& settings);

// Writes all seven values, empty ones included. Called only after an accepted OK.
void SaveSettings(const Settings& settings);

// Converts a password found in clear ("pwd") into its scrambled value ("epwd").
void MigrateLegacyPassword(const std::string& password);

}  // namespace quillrun
