#include "settings/reader_location.h"

#include "platform/file_system.h"
#include "platform/registry.h"
#include "settings/registry_text.h"

namespace quillrun {

std::optional<std::string> LocateReader() {
    platform::RegistryKey key;
    if (platform::OpenRegistryKey(platform::RegistryHive::LocalMachine, kReaderRegistrationKey,
                                  key) != platform::RegistryStatus::Ok) {
        return std::nullopt;
    }
    const TextValue stored = ReadTextValue(key, "");
    if (stored.status != TextValue::Status::Read) {
        return std::nullopt;
    }
    // Used exactly as registered: quotes, blanks and variable references are part of the name.
    // A folder or a file this user cannot run is no reading program: every job would fail.
    const std::string path = TextUpToZero(stored.bytes);
    if (!platform::IsProgramFile(path)) {
        return std::nullopt;
    }
    return "\"" + path + "\"";
}

}  // namespace quillrun
