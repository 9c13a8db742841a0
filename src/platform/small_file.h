#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quillrun::platform {

// A small file that a program reads whole and rewrites whole (WriteWholeFile) in place of the
// old one, such as a settings file. POSIX only.

enum class SmallFileStatus {
    Read,
    Missing,     // nothing at the path, or a level of it is a file
    Unreadable,  // something is there that cannot be read: a folder, a FIFO, no permission
    TooLarge,    // a regular file beyond the size asked for, which is not read
};

struct SmallFile {
    SmallFileStatus status = SmallFileStatus::Missing;
    std::string bytes;  // the whole content, when read
};

// Reads the regular file at path whole when it holds at most largest bytes. The open never
// waits, so that a FIFO at the path cannot hang the program.
SmallFile ReadSmallFile(const std::string& path, std::size_t largest);

// The file a rewrite of path should replace: path itself, or the file a symbolic link at path
// leads to, so that the link stays a link. Nothing when the link cannot be followed.
std::optional<std::string> RewriteTarget(const std::string& path);

// Gives the file at path a second name beside it that is free: path + suffix, else path + suffix
// + "-2", "-3" and so on up to 100. Nothing that exists is replaced, and the file keeps its own
// name too, until a rewrite replaces it. True also when nothing is at path any more.
bool LinkAside(const std::string& path, std::string_view suffix);

// Takes every permission of the group and of others away from the regular file at path, if it
// has any. Best effort: a file that cannot be changed is left as it is.
void MakeFilePrivate(const std::string& path);

}  // namespace quillrun::platform
