#pragma once

#include <string>

#include "settings/settings.h"

namespace quillrun {

inline constexpr const char* kSettingsKeyPath = "Software\\Tandrel\\Quillrun";

// Reads every stored value that is present into settings. Every failure is silent: a value that
// cannot be read leaves its setting as it was.
void LoadSettings(Settings& settings);

// Writes all seven values, empty ones included. Called only after an accepted OK.
void SaveSettings(const Settings& settings);

// Converts a password found in clear ("pwd") into its scrambled value ("epwd").
void MigrateLegacyPassword(const std::string& password);

}  // namespace quillrun
