#include "platform/path_rules.h"

namespace quillrun::platform {
namespace {

constexpr char kSeparator = '/';

}  // namespace

std::string JoinPath(std::string_view folder, std::string_view name) {
    // Plain concatenation: a doubled separator reads as one, and the bytes of every path the
    // program shows or passes on stay exactly as the user's roots spell them.
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder).append(1, kSeparator).append(name);
    return path;
}

std::optional<std::string> ParentFolder(std::string_view path) {
    const std::size_t separator = path.rfind(kSeparator);
    if (separator == std::string_view::npos) {
        return std::nullopt;
    }
    return std::string(path.substr(0, separator));
}

bool IsRoot(std::string_view folder) {
    // "//" and longer runs of separators name "/" as well.
    return folder.find_first_not_of(kSeparator) == std::string_view::npos;
}

void TrimTrailingSeparator(std::string& folder) {
    if (!folder.empty() && folder.back() == kSeparator) {
        folder.pop_back();
    }
}

std::string FolderToOpen(std::string_view folder) {
    return folder.empty() ? std::string(1, kSeparator) : std::string(folder);
}

std::string RebasePath(std::string_view path, std::string_view from, std::string_view to) {
    // The rest of path after from begins with its separator, or is empty for from itself.
    std::string rebased(to);
    rebased.append(path.substr(from.size()));
    return rebased;
}

}  // namespace quillrun::platform
