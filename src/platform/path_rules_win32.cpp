#include "platform/path_rules.h"

namespace quillrun::platform {
namespace {

constexpr char kSeparator = '\\';

// The system takes '/' for '\' in every path, so both separate.
bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// How many characters of path make up its root: "C:\" 3, "\\server\share\" all of it (with or
// without the closing separator), "\" 1; 0 for a path without one. "C:" alone is no root: it names
// the current folder of drive C.
std::size_t RootLength(std::string_view path) {
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) {
        return 3;
    }
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        // \\server\share\ : past the server's name and the share's, and one separator more.
        std::size_t at = 2;
        for (int part = 0; part < 2; ++part) {
            while (at < path.size() && !IsSeparator(path[at])) {
                ++at;
            }
            if (part == 0 && at < path.size()) {
                ++at;
            }
        }
        return at < path.size() ? at + 1 : at;
    }
    if (!path.empty() && IsSeparator(path[0])) {
        return 1;
    }
    return 0;
}

}  // namespace

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    // A root already carries its separator; any other folder gets one, as typed or not.
    const bool root =
        !folder.empty() && RootLength(folder) == folder.size() && IsSeparator(folder.back());
    if (!root) {
        path.push_back(kSeparator);
    }
    return path.append(name);
}

std::optional<std::string> ParentFolder(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/");
    if (separator == std::string_view::npos) {
        return std::nullopt;
    }
    // Below a root the parent is the root itself, separator and all.
    const std::size_t root = RootLength(path);
    if (root > 0 && separator < root) {
        return std::string(path.substr(0, root));
    }
    return std::string(path.substr(0, separator));
}

bool IsRoot(std::string_view folder) {
    return !folder.empty() && RootLength(folder) == folder.size();
}

void TrimTrailingSeparator(std::string& folder) {
    if (!folder.empty() && IsSeparator(folder.back()) && !IsRoot(folder)) {
        folder.pop_back();
    }
}

std::string FolderToOpen(std::string_view folder) {
    return std::string(folder);  // a root keeps its separator, so every folder opens as held
}

std::string RebasePath(std::string_view path, std::string_view from, std::string_view to) {
    std::string_view rest = path.substr(from.size());
    while (!rest.empty() && IsSeparator(rest.front())) {
        rest.remove_prefix(1);
    }
    return rest.empty() ? std::string(to) : JoinPath(to, rest);
}

}  // namespace quillrun::platform
