#pragma once

#include <string>

#include "platform/service_manager.h"

namespace quillrun::service {

struct ImportResult {
    bool done = false;  // the service reads the user's settings now
    std::string message;
};

// Whether --import-settings exists on this system: on Windows, where the service runs as an
// account of its own whose settings are not the user's. (systemd's units run as the user, or
// read a hive file that is copied as a file.)
bool HasSettingsImport();

// Copies the settings the dialog saved for the user who runs this program to the account the
// service kSystemServiceName runs as, so that it reads them as the dialog saved them.
ImportResult ImportSettings();

// The same, to this account.
ImportResult ImportSettingsTo(const platform::ServiceAccount& account);

}  // namespace quillrun::service
