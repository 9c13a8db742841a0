#include "platform/path_rules.h"

#include <algorithm>

namespace quillrun::platform {
namespace {

constexpr char kSeparator = '/';

}  // namespace

std::string JoinPath(std::string_view folder, std::string_view name) {
    // Plain concatenation: a doubled separator reads as one, and the bytes of every path the
    // program shows or passes on stay exactly as the user's roots spell them. Only the root
    // already ends in the separator it needs.
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder);
    if (folder.empty() || !IsRoot(folder)) {
        path.append(1, kSeparator);
    }
    return path.append(name);
}

std::optional<std::string> ParentFolder(std::string_view path) {
    const std::size_t separator = path.rfind(kSeparator);
    if (separator == std::string_view::npos) {
        return std::nullopt;
    }
    // Directly below the root, the parent is the root itself.
    return std::string(path.substr(0, separator == 0 ? 1 : separator));
}

bool IsRoot(std::string_view folder) {
    // "//" and longer runs of separators name "/" as well; "" is the root in trimmed form.
    return folder.find_first_not_of(kSeparator) == std::string_view::npos;
}

void TrimTrailingSeparator(std::string& folder) {
    // The root keeps its separator: trimmed to nothing it would be saved, shown and logged as an
    // empty field.
    if (!folder.empty() && folder.back() == kSeparator && !IsRoot(folder)) {
        folder.pop_back();
    }
}

std::string FolderToOpen(std::string_view folder) {
    return folder.empty() ? std::string(1, kSeparator) : std::string(folder);
}

std::string RebasePath(std::string_view path, std::string_view from, std::string_view to) {
    std::string_view rest = path.substr(from.size());
    rest.remove_prefix(std::min(rest.find_first_not_of(kSeparator), rest.size()));
    return rest.empty() ? std::string(to) : JoinPath(to, rest);
}

}  // namespace quillrun::platform
