#include "engine/settings_check.h"

#include "platform/file_system.h"

namespace quillrun {
namespace {

// A root typed with a trailing separator names the same folder; the work cycle trims it.
bool IsExistingFolder(const std::string& path) {
    return platform::GetPathKind(path) == platform::PathKind::Folder;
}

}  // namespace

std::optional<std::string> CheckSettings(const QuillrunMembers& members) {
    if (members.m_sourcePath.empty()) {
        return kNoSourceMessage;
    }
    if (!IsExistingFolder(members.m_sourcePath)) {
        return kBadSourceMessage;
    }
    if (members.m_destPath.empty()) {
        return kNoDestinationMessage;
    }
    if (!IsExistingFolder(members.m_destPath)) {
        return kBadDestinationMessage;
    }
    if (members.m_writeLog != 0 && members.m_logPath.empty()) {
        return kNoLogPathMessage;
    }
    return std::nullopt;
}

}  // namespace quillrun
