#include "settings/reader_location.h"

#include "hive/hive.h"
#include "platform/file_system.h"
#include "settings/settings_store.h"

namespace quillrun {

std::optional<std::string> LocateReader() {
    const std::optional<hive::KeyReader> key =
        hive::OpenKey(hive::Hive::LocalMachine, kReaderRegistrationKey);
    const std::optional<std::string> stored = key ? key->readText("") : std::nullopt;
    if (!stored || stored->size() > kLongestStoredText) {
        return std::nullopt;
    }
    // Used exactly as registered, up to a zero byte: quotes, blanks and variable references are
    // part of the name. A folder or a file this user cannot run is no reading program: every job
    // would fail.
    const std::string path = stored->substr(0, stored->find('\0'));
    if (!platform::IsProgramFile(path)) {
        return std::nullopt;
    }
    return "\"" + path + "\"";
}

}  // namespace quillrun
