#include "service/service_setup.h"

#include "hive/hive.h"
#include "platform/file_system.h"
#include "settings/settings_check.h"
#include "settings/settings_store.h"
#include "settings/start_up.h"

namespace quillrun::service {

ServiceSetup PrepareService() {
    ServiceSetup setup;
    setup.settingsFile = hive::HiveLocation(hive::Hive::CurrentUser).value_or("");
    // A file on POSIX; on Windows the registry, whose key is there once the dialog has saved.
    setup.settingsFileFound =
        (!setup.settingsFile.empty() &&
         platform::GetPathKind(setup.settingsFile) != platform::PathKind::Missing) ||
        hive::OpenKey(hive::Hive::CurrentUser, kSettingsKeyPath).has_value();
    setup.registrationFile = hive::HiveLocation(hive::Hive::LocalMachine).value_or("");
    StartUp start = RunStartUp();
    if (start.problem) {
        setup.problem = std::move(start.problem);
        return setup;
    }
    setup.readerPath = std::move(start.readerPath);
    setup.settings = std::move(start.settings);
    setup.notices = std::move(start.notices);
    setup.problem = CheckSettings(setup.settings);
    return setup;
}

std::string DescribeSetup(const ServiceSetup& setup) {
    const Settings& settings = setup.settings;
    std::string text =
        "Settings: " + (setup.settingsFile.empty() ? "(no home folder)" : setup.settingsFile);
    text += setup.settingsFileFound ? "\n" : " (not there: the defaults apply)\n";
    if (setup.readerPath.empty()) {
        return text + "Reading program: not registered (looked in " + setup.registrationFile +
               ")\n";
    }
    text +=
        "Reading program: " + setup.readerPath + ", registered in " + setup.registrationFile + "\n";
    text += "Source hierarchy: " + settings.sourcePath + "\n";
    text += "Destination hierarchy: " + settings.destPath + "\n";
    text += "Command arguments: " + settings.commandArgs + "\n";
    text += "User name: " + (settings.user.empty() ? "(none)" : settings.user) + "\n";
    text += "Log file: " + (settings.writeLog ? settings.logPath : "(Log Activity is off)") + "\n";
    return text;
}

}  // namespace quillrun::service
