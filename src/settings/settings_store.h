#pragma once

#include <string>

#include "engine/quillrun_members.h"
#include "settings/settings_view.h"

namespace quillrun {

inline constexpr const char* kSettingsKeyPath = "Software\\Tandrel\\Quillrun";

// Reads every stored value that is present into the members, then shows the members in the
// view. Every failure is silent: a value that cannot be read leaves its member as it was.
void LoadSettings(QuillrunMembers& members, SettingsView& view);

// Writes all seven values, empty ones included. Called only after an accepted OK.
void SaveSettings(const QuillrunMembers& members);

// What closing the dialog does with the settings: they are saved only in a run in which OK was
// accepted (m_running set); otherwise the edits are discarded and the store is not touched.
void SaveSettingsOnClose(const QuillrunMembers& members);

// Converts a password found in clear ("pwd") into its scrambled value ("epwd").
void MigrateLegacyPassword(const std::string& password);

}  // namespace quillrun
