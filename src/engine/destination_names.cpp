#include "engine/destination_names.h"

#include "platform/path_rules.h"

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
    return platform::ParentFolder(documentPath).value_or(std::string());
}

}  // namespace quillrun
