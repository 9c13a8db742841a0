#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "settings/settings.h"

namespace quillrun {

inline constexpr const char* kSettingsKeyPath = "Software\\Tandrel\\Quillrun";

// Texts are read whole, whatever their length, up to this bound: far more than any path or
// command line needs, and small enough that a damaged or hostile value cannot exhaust memory.
inline constexpr std::size_t kLongestStoredText = 64 * 1024;

// Reads every stored value that is present into settings, and changes nothing in the store. A
// value that cannot be read leaves its setting as it was. Returns the names of the values left
// unread because they are longer than kLongestStoredText, so that the caller can say so; every
// other failure is silent.
std::vector<std::string> LoadSettings(Settings& settings);

// Writes all seven values, empty ones included. Called only after an accepted OK. A value that
// cannot be written keeps its old content and the others are still written; then the sentence to
// show says why.
std::optional<std::string> SaveSettings(const Settings& settings);

// Converts a password that an earlier installation kept in clear ("pwd") into its scrambled value
// ("epwd"), and removes the clear one once the scrambled one is stored. An empty "pwd" is left as
// it is. Should the store refuse, "pwd" stays, the next start tries again, and the line to log
// says why.
std::optional<std::string> MigrateLegacyPassword();

}  // namespace quillrun
