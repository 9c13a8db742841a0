#include "settings/settings_check.h"

#include "platform/file_system.h"

namespace quillrun {
namespace {

// A root typed with a trailing separator names the same folder; the work cycle trims it.
bool IsExistingFolder(const std::string& path) {
    return platform::GetPathKind(path) == platform::PathKind::Folder;
}

}  // namespace

std::optional<std::string> CheckSettings(const Settings& settings) {
    if (settings.sourcePath.empty()) {
        return kNoSourceMessage;
    }
    if (!IsExistingFolder(settings.sourcePath)) {
        return kBadSourceMessage;
    }
    if (settings.destPath.empty()) {
        return kNoDestinationMessage;
    }
    if (!IsExistingFolder(settings.destPath)) {
        return kBadDestinationMessage;
    }
    if (settings.writeLog && settings.logPath.empty()) {
        return kNoLogPathMessage;
    }
    return std::nullopt;
}

}  // namespace quillrun
