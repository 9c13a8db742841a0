#include "settings/start_up.h"

#include "hive/hive.h"

#include "settings/reader_location.h"
#include "settings/settings_store.h"

namespace quillrun {

StartUp RunStartUp() {
    StartUp start;
    std::optional<std::string> readerPath = LocateReader();
    if (!readerPath) {
        start.problem = kReaderNotFoundMessage;
        return start;
    }
    start.readerPath = std::move(*readerPath);
    if (const std::optional<std::string> problem = hive::HiveProblem(hive::Hive::CurrentUser)) {
        start.notices.push_back("The settings could not be read: " + *problem +
                                ". The settings of a first start apply.");
    }
    if (std::optional<std::string> notMigrated = MigrateLegacyPassword()) {
        start.notices.push_back(std::move(*notMigrated));
    }
    for (const std::string& name : LoadSettings(start.settings)) {
        start.notices.push_back("The setting " + name + " was not read: it is longer than " +
                                std::to_string(kLongestStoredText) + " bytes.");
    }
    return start;
}

}  // namespace quillrun
