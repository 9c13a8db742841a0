#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quillrun::platform {

// Paths are the system's narrow bytes, joined by plain concatenation with this separator.
inline constexpr char kPathSeparator = '/';

enum class PathKind { Missing, File, Folder };

// What is at a path, following links. Anything that cannot be examined counts as missing.
PathKind GetPathKind(const std::string& path);

// What is at a path, following links, and whether its last part is a link: what a link leads to
// may come and go while the folder that holds the link stays as it was.
struct PathLookup {
    PathKind kind = PathKind::Missing;
    bool isLink = false;
};
PathLookup LookUpPath(const std::string& path);

// A folder is read-only when this user cannot create entries in it.
bool IsReadOnlyFolder(const std::string& path);

// Creates one folder whose parent exists; fails when anything is already there.
bool CreateFolder(const std::string& path);

bool RemoveFile(const std::string& path);

// Replaces the file at path with exactly these bytes. The content is written under a temporary
// name in the same folder and renamed into place, so a reader never sees a half-written file and
// an older, longer file leaves nothing of its tail behind.
bool WriteWholeFile(const std::string& path, std::string_view bytes);

// Identifies a folder independently of the path it was reached by.
struct FolderIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FolderIdentity&) const = default;
};

// When a folder last changed, as its file system records it. Adding, removing or renaming an
// entry moves both times. `changed` also moves when the folder's own times or permissions are set
// or it is moved: it is the status change time where the file system keeps one, else the
// modification time again.
struct FolderStamp {
    FolderIdentity identity;
    std::chrono::system_clock::time_point modified;
    std::chrono::system_clock::time_point changed;
};

// The stamp of the folder at path, following links; none when no folder can be examined there.
std::optional<FolderStamp> GetFolderStamp(const std::string& path);

struct FolderEntry {
    std::string name;
    bool isFolder = false;  // links to folders count as folders; broken links as files
    bool isLink = false;    // what it leads to may change while this folder stays as it was
};

// The entries of one folder, hidden ones included, in the order the file system gives, without
// "." and "..". A folder that cannot be listed yields no entries.
class FolderListing {
  public:
    explicit FolderListing(const std::string& folder);
    ~FolderListing();
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;

    bool isOpen() const;
    FolderIdentity identity() const;
    // The folder's stamp when the listing was opened, before any entry was read.
    FolderStamp stamp() const;
    // Fills entry with the next entry; false at the end.
    bool next(FolderEntry& entry);

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace quillrun::platform
