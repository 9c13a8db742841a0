#include "service/settings_import.h"

#include "hive/hive.h"
#include "platform/registry.h"
#include "service/service_setup.h"
#include "settings/settings_store.h"

namespace quillrun::service {
namespace {

const std::string kService = std::string("the service ") + kSystemServiceName;
const std::string kServiceAtStart = std::string("The service ") + kSystemServiceName;

std::string WhyNotCopied(const platform::SystemError& error) {
    switch (error.code) {
        case platform::SystemErrorCode::NotFound:
            return " Its part of the registry is loaded only while it is logged on or runs a "
                   "program: log on as it and save the settings in its own Quillrun dialog.";
        case platform::SystemErrorCode::AccessDenied:
            return " Writing another account's settings takes an administrator: run it from a "
                   "console opened with \"Run as administrator\".";
        default:
            return "";
    }
}

}  // namespace

bool HasSettingsImport() {
    return true;
}

ImportResult ImportSettings() {
    const platform::ServiceAccountLookup lookup = platform::FindServiceAccount(kSystemServiceName);
    if (!lookup.account) {
        return {false, "The settings cannot be imported: " + kService +
                           " is not installed, or its account cannot be found (" +
                           lookup.error.message + ")."};
    }
    return ImportSettingsTo(*lookup.account);
}

ImportResult ImportSettingsTo(const platform::ServiceAccount& account) {
    if (account.isCurrentUser) {
        return {true, kServiceAtStart + " runs as you (" + account.name +
                          "): it reads the settings your dialog saved as they are."};
    }
    if (!hive::OpenKey(hive::Hive::CurrentUser, kSettingsKeyPath)) {
        return {false,
                "There are no settings to import: the Quillrun dialog saves them when it ends "
                "after an accepted OK."};
    }
    if (const auto error = platform::CopyKeyToAccount(kSettingsKeyPath, account.sid)) {
        return {false, "Your settings cannot be copied to " + account.name + ", the account " +
                           kService + " runs as: " + error->message + "." + WhyNotCopied(*error)};
    }
    return {true, "Your settings are copied to " + account.name + ", the account " + kService +
                      " runs as. It reads them at its next start."};
}

}  // namespace quillrun::service
