#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillrun::platform {

// How paths are put together and taken apart. Paths are the system's narrow bytes; nothing is
// normalised, case-folded or shortened. The work cycle holds a folder without its trailing
// separator so that joining adds exactly one. A root keeps its separator: "/" on POSIX, a drive
// root ("C:\") or a share root ("\\server\share\") on Windows, where "C:" names another folder.

// folder, one separator, name. A folder that still ends in a separator is joined all the same,
// except a root, which already carries its separator.
std::string JoinPath(std::string_view folder, std::string_view name);

// Everything before the last separator of path, the root for a path directly below it, or nothing
// when path holds no separator at all and so lies in the current folder.
std::optional<std::string> ParentFolder(std::string_view path);

// Whether folder is the top of a hierarchy, which has no parent to climb to: "/" (and "", which
// opens as "/") on POSIX; "C:\" or "\\server\share\" on Windows.
bool IsRoot(std::string_view folder);

// Removes one trailing separator from a root field that the user typed ("/srv/scans/" becomes
// "/srv/scans"); a root stays as it is. What remains names the same folder.
void TrimTrailingSeparator(std::string& folder);

// The path by which the system opens a folder held in trimmed form: "/" for POSIX's "".
std::string FolderToOpen(std::string_view folder);

// The place of path, which lies at or below the folder from, at the same place below the folder
// to instead ("/in/a/b" from "/in" to "/out" is "/out/a/b").
std::string RebasePath(std::string_view path, std::string_view from, std::string_view to);

}  // namespace quillrun::platform
