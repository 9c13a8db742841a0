#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quillrun::platform {

// Paths are joined by plain concatenation with the system's separator: on Windows UTF-8 texts
// with backslashes, elsewhere the system's narrow bytes with slashes.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

enum class PathKind { Missing, File, Folder };

// What is at a path, following links. Anything that cannot be examined counts as missing.
PathKind GetPathKind(const std::string& path);

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

struct FolderEntry {
    std::string name;
    bool isFolder = false;  // links to folders count as folders; broken links as files
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
    // Fills entry with the next entry; false at the end.
    bool next(FolderEntry& entry);

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace quillrun::platform
