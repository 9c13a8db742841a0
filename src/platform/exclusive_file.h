#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/system_error.h"

namespace quillrun::platform {

// Which file a path named when it was looked at, and when that file was last modified.
struct FileStamp {
    std::uint64_t volume = 0;  // POSIX: the device; Windows: the volume serial number
    std::uint64_t file = 0;    // POSIX: the inode; Windows: the file index
    // By the file system's clock (the server's, on a network share), in nanoseconds since 1970.
    std::int64_t modified = 0;

    bool sameFile(const FileStamp& other) const {
        return volume == other.volume && file == other.file;
    }
    bool operator==(const FileStamp&) const = default;
};

// The stamp of what is at path itself, a link included (its target is never looked at); nothing
// when nothing is there.
std::optional<FileStamp> GetFileStamp(const std::string& path);

enum class ExclusiveCreateStatus { Created, AlreadyExists, Failed };

struct ExclusiveCreateResult {
    ExclusiveCreateStatus status = ExclusiveCreateStatus::Failed;
    FileStamp stamp;    // of the file created
    SystemError error;  // why it failed, when it did
};

// Creates a file at path only when nothing at all is there, in one step that the file system
// carries out atomically: of any number of processes, on this machine or on others sharing the
// folder over NFS 3 or later or SMB, that create the same name at once, exactly one succeeds.
// Then writes content into it and closes it. Between the two steps others may find the file
// empty; a content that cannot be written removes the file again and fails.
ExclusiveCreateResult CreateFileExclusively(const std::string& path, std::string_view content);

// Sets the file's modification time to now by the file system's clock. False when there is no
// file or it cannot be changed.
bool TouchFile(const std::string& path);

// Removes path only when it still names the file of stamp (its volume and file, whatever its
// modification time), so that a file created at that name since is left alone. The test and the
// removal are two steps: a file that replaces it in between is removed all the same.
bool RemoveFileIfSame(const std::string& path, const FileStamp& stamp);

}  // namespace quillrun::platform
