#include "settings/start_up.h"

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
    MigrateLegacyPassword();
    for (const std::string& name : LoadSettings(start.settings)) {
        start.notices.push_back("The setting " + name + " was not read: it is longer than " +
                                std::to_string(kLongestStoredText) + " bytes.");
    }
    return start;
}

}  // namespace quillrun
