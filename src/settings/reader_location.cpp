#include "settings/reader_location.h"

#include "platform/file_system.h"
#include "platform/registry.h"
#include "settings/registry_text.h"

namespace quillrun {

int LocateReader(QuillrunMembers& members) {
    platform::RegistryKey key;
    if (platform::OpenRegistryKey(platform::RegistryHive::LocalMachine, kReaderRegistrationKey,
                                  key) != platform::RegistryStatus::Ok) {
        return 0;
    }
    const auto stored = ReadTextBytes(key, "");
    if (!stored) {
        return 0;
    }
    // Used exactly as registered: quotes, blanks and variable references are part of the name.
    const std::string path = TextUpToZero(*stored);
    if (platform::GetPathKind(path) == platform::PathKind::Missing) {
        return 0;
    }
    members.m_readerPath = "\"" + path + "\"";
    return 1;
}

}  // namespace quillrun
