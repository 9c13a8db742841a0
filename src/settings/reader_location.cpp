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
    const auto stored = ReadTextBytes(key, "");
    if (!stored) {
        return std::nullopt;
    }
    // Used exactly as registered: quotes, blanks and variable references are part of the name.
    const std::string path = TextUpToZero(*stored);
    if (platform::GetPathKind(path) == platform::PathKind::Missing) {
        return std::nullopt;
    }
    return "\"" + path + "\"";
}

}  // namespace quillrun
