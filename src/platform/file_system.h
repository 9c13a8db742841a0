#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/system_error.h"

namespace quillrun::platform {

// Paths are the system's narrow bytes (UTF-8 on Windows), put together by the rules of
// platform/path_rules.h.

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

// Whether this user can start the file at path as a program (following links): POSIX, a regular
// file with execute permission for this user; a folder never is one.
bool IsProgramFile(const std::string& path);

// Whether a change to the file system was made and, when it was not, the system's reason.
struct FileResult {
    bool succeeded = false;
    SystemError error;  // why it failed, when it did
    explicit operator bool() const { return succeeded; }
};

// Who may use what the program creates. POSIX sets the permission bits exactly, whatever the
// umask, except for an Inherited folder; Windows gives the matching security.
enum class Access {
    Inherited,  // as the system's defaults give (POSIX: folders 0777 less the umask, files 0644)
    OwnerOnly,  // private to this user (POSIX: 0700 folders, 0600 files)
    EveryoneReads,  // this user writes, everybody reads (POSIX: 0755 folders, 0644 files)
};

// Creates one folder whose parent exists; fails when anything is already there.
bool CreateFolder(const std::string& path);

// Creates the folder and every missing folder above it, each with the access given; the levels
// that exist are left as they are. Succeeds when the folder exists as a folder afterwards. Fails
// when a level is a file, and never tries to create a root; the error is the system's reason.
FileResult CreateFolderTree(const std::string& folder, Access access = Access::Inherited);

// Whether a level of path below root, path itself included, is a link (on Windows any reparse
// point: a symbolic link or a junction), so that what is written there would land elsewhere.
// path lies at or below root; root itself is not looked at.
bool HasLinkBelow(const std::string& root, const std::string& path);

bool RemoveFile(const std::string& path);

struct RenamedAside {
    bool succeeded = false;
    std::string path;   // the name it has now, when it was renamed
    SystemError error;  // why it could not be, when it was not
};

// Renames the file (or folder) at path to a name beside it that is free: path + suffix, else
// path + suffix + "-2", "-3" and so on. Nothing that exists is ever replaced.
RenamedAside RenameAside(const std::string& path, std::string_view suffix);

// How much a whole-file write promises should the system crash right after it.
enum class Durability {
    Atomic,     // the old file or the new one, never a half-written one
    Committed,  // the new one: the folder is flushed as well, which costs a second disk flush
};

// Replaces the file at path with exactly these bytes. The content is written and flushed under a
// temporary name in the same folder and renamed into place, so a reader never sees a half-written
// file and an older, longer file leaves nothing of its tail behind. A failure leaves the old file
// as it was and no temporary file behind, and says why.
FileResult WriteWholeFile(const std::string& path, std::string_view bytes,
                          Access access = Access::EveryoneReads,
                          Durability durability = Durability::Atomic);

// Identifies a folder independently of the path it was reached by.
struct FolderIdentity {
    std::uint64_t volume = 0;  // POSIX: the device; Windows: the volume serial number
    std::uint64_t file = 0;    // POSIX: the inode; Windows: the file index
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
