#include "engine/destination_names.h"

#include "platform/file_system.h"

namespace quillrun {

std::string ReplaceLastThree(const std::string& path, const char* replacement) {
    const std::size_t keep = path.size() >= 3 ? path.size() - 3 : 0;
    return path.substr(0, keep) + replacement;
}

std::string StatisticsPathFor(const std::string& documentPath) {
    const std::size_t dot = documentPath.rfind('.');
    return documentPath.substr(0, dot) + ".dat";
}

std::string DestinationFolderOf(const std::string& documentPath) {
    const std::size_t separator = documentPath.rfind(platform::kPathSeparator);
    return separator == std::string::npos ? std::string() : documentPath.substr(0, separator);
}

void RemoveTrailingSeparator(std::string& path) {
    if (!path.empty() && path.back() == platform::kPathSeparator) {
        path.pop_back();
    }
}

}  // namespace quillrun
