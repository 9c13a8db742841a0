#include "platform/registry.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/descriptor_io_posix.h"
#include "platform/file_system.h"
#include "platform/path_rules.h"
#include "platform/registry_file_format.h"
#include "platform/unique_fd.h"

namespace quillrun::platform {
namespace {

// A hive is a few hundred bytes; anything near this size is not one of ours.
constexpr off_t kLargestHiveFile = 16 * 1024 * 1024;

// Another instance holds the lock only while it rewrites a small file.
constexpr auto kLockPatience = std::chrono::seconds(10);

constexpr int kMostSetAsideNames = 100;

// The user's settings are private to the user; the machine's registration is for everybody.
struct HiveFile {
    std::string folder;
    std::string path;
    Access access = Access::OwnerOnly;
};

// XDG base directories must be absolute; a relative one is to be ignored as if unset.
std::optional<std::string> AbsoluteEnvironmentPath(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') {
        return std::nullopt;
    }
    return std::string(value);
}

std::optional<std::string> HomeFolder() {
    if (auto home = AbsoluteEnvironmentPath("HOME")) {
        return home;
    }
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/') {
        return std::nullopt;
    }
    return std::string(found->pw_dir);
}

std::optional<HiveFile> UserHiveFile() {
    std::optional<std::string> base = AbsoluteEnvironmentPath("XDG_CONFIG_HOME");
    if (!base) {
        const auto home = HomeFolder();
        if (!home) {
            return std::nullopt;
        }
        base = JoinPath(*home, ".config");
    }
    HiveFile hive;
    hive.folder = JoinPath(*base, "quillrun");
    hive.path = JoinPath(hive.folder, "user.reg");
    return hive;
}

std::vector<std::string> MachineConfigFolders() {
    std::vector<std::string> folders;
    const char* value = std::getenv("XDG_CONFIG_DIRS");
    std::string_view rest = value == nullptr ? std::string_view() : std::string_view(value);
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        if (!folder.empty() && folder.front() == '/') {
            folders.emplace_back(folder);
        }
        rest.remove_prefix(colon == std::string_view::npos ? rest.size() : colon + 1);
    }
    if (folders.empty()) {
        folders.emplace_back("/etc/xdg");
    }
    return folders;
}

HiveFile MachineHiveFileIn(const std::string& configFolder) {
    HiveFile hive;
    hive.folder = JoinPath(configFolder, "quillrun");
    hive.path = JoinPath(hive.folder, "machine.reg");
    hive.access = Access::EveryoneReads;
    return hive;
}

// Where the hive is read from: the machine's is the first file that exists, in order.
std::optional<std::string> HivePathToRead(RegistryHive hive) {
    if (hive == RegistryHive::CurrentUser) {
        const auto file = UserHiveFile();
        return file ? std::optional<std::string>(file->path) : std::nullopt;
    }
    const std::vector<std::string> folders = MachineConfigFolders();
    for (const std::string& folder : folders) {
        std::string path = MachineHiveFileIn(folder).path;
        if (GetPathKind(path) != PathKind::Missing) {
            return path;
        }
    }
    return MachineHiveFileIn(folders.front()).path;
}

// Where the hive is written: the machine's always to the first folder.
std::optional<HiveFile> HiveFileToWrite(RegistryHive hive) {
    if (hive == RegistryHive::CurrentUser) {
        return UserHiveFile();
    }
    return MachineHiveFileIn(MachineConfigFolders().front());
}

std::string FullKeyPath(RegistryHive hive, std::string_view keyPath) {
    std::string full =
        hive == RegistryHive::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
    if (!keyPath.empty()) {
        full.push_back('\\');
        full += keyPath;
    }
    return full;
}

// Line ends cannot be carried by the file format, in key paths or in value names.
bool IsStorableName(std::string_view name) {
    return name.find_first_of("\r\n") == std::string_view::npos;
}

enum class HiveState { Missing, Parsed, Unparseable, Unreadable };

struct HiveContents {
    HiveState state = HiveState::Missing;
    RegistryDocument document;
};

HiveContents ReadHiveFile(const std::string& path) {
    HiveContents contents;
    // Non-blocking, so that a FIFO in the hive's place cannot hang the program.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd) {
        contents.state =
            (errno == ENOENT || errno == ENOTDIR) ? HiveState::Missing : HiveState::Unreadable;
        return contents;
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        contents.state = HiveState::Unreadable;
        return contents;
    }
    if (status.st_size > kLargestHiveFile) {
        contents.state = HiveState::Unparseable;
        return contents;
    }
    std::string text;
    char chunk[8192];
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            contents.state = HiveState::Unreadable;
            return contents;
        }
        if (got == 0) {
            break;
        }
        text.append(chunk, static_cast<std::size_t>(got));
        if (text.size() > static_cast<std::size_t>(kLargestHiveFile)) {
            contents.state = HiveState::Unparseable;
            return contents;
        }
    }
    auto document = ParseRegistryText(text);
    if (!document) {
        contents.state = HiveState::Unparseable;
        return contents;
    }
    contents.state = HiveState::Parsed;
    contents.document = std::move(*document);
    return contents;
}

HiveContents ReadHive(RegistryHive hive) {
    const auto path = HivePathToRead(hive);
    if (!path) {
        HiveContents contents;
        contents.state = HiveState::Unreadable;
        return contents;
    }
    return ReadHiveFile(*path);
}

// Holds the advisory lock that serialises the read-modify-write of one hive between processes.
// It lies on a separate file because every write replaces the hive's file with a new one.
class HiveLock {
  public:
    explicit HiveLock(const std::string& hivePath) {
        UniqueFd fd(::open((hivePath + ".lock").c_str(),
                           O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK,
                           0600));
        if (!fd) {
            return;
        }
        if (LockExclusively(fd.get(), kLockPatience)) {
            m_fd = std::move(fd);
        }
    }

    bool held() const { return m_fd.valid(); }

  private:
    UniqueFd m_fd;  // closing it releases the lock
};

std::string LocalTimeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[32] = "unknown-time";
    if (::localtime_r(&now, &local) != nullptr) {
        std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    }
    return text;
}

// Keeps an unreadable hive under a new name before it is replaced, so that nothing the user
// had is lost. A hard link never replaces an existing file; the hive's own name is replaced by
// the rename of the new content.
bool SetAside(const std::string& path) {
    const std::string base = path + ".unreadable-" + LocalTimeStamp();
    for (int attempt = 1; attempt <= kMostSetAsideNames; ++attempt) {
        const std::string name = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        if (::link(path.c_str(), name.c_str()) == 0) {
            return true;
        }
        if (errno == ENOENT) {
            return true;  // nothing there any more to keep
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

// A hive reached through a symbolic link is rewritten where the link points, so it stays linked.
std::optional<std::string> ResolveLinkedHive(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
        return path;
    }
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) {
        return std::nullopt;
    }
    return std::string(resolved);
}

// The user's hive holds the password, merely scrambled: whatever made it readable by others (a
// copy, an editor, a restore from a backup), it is made private again whenever it is written,
// also when no value changes.
void KeepPrivate(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
        (status.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        ::chmod(path.c_str(), S_IRUSR | S_IWUSR);
    }
}

// Changes a hive's document under its lock. The change reports whether it altered anything;
// only then is the file rewritten.
using HiveChange = std::function<RegistryStatus(RegistryDocument& document, bool& changed)>;

RegistryStatus ModifyHive(RegistryHive hive, const HiveChange& change) {
    const auto file = HiveFileToWrite(hive);
    if (!file || !CreateFolderTree(file->folder, file->access)) {
        return RegistryStatus::Failed;
    }
    const HiveLock lock(file->path);
    if (!lock.held()) {
        return RegistryStatus::Failed;
    }
    const auto target = ResolveLinkedHive(file->path);
    if (!target) {
        return RegistryStatus::Failed;
    }
    if (file->access == Access::OwnerOnly) {
        KeepPrivate(*target);
    }
    HiveContents contents = ReadHiveFile(*target);
    if (contents.state == HiveState::Unreadable) {
        return RegistryStatus::Failed;  // rewriting it would lose what it holds
    }
    bool changed = false;
    const RegistryStatus status = change(contents.document, changed);
    if (status != RegistryStatus::Ok || !changed) {
        return status;
    }
    if (contents.state == HiveState::Unparseable && !SetAside(*target)) {
        return RegistryStatus::Failed;
    }
    return WriteWholeFile(*target, FormatRegistryText(contents.document), file->access,
                          Durability::Committed)
               ? RegistryStatus::Ok
               : RegistryStatus::Failed;
}

}  // namespace

// An open key holds no descriptor: every operation reads the hive afresh, and every write
// replaces the hive's file atomically under a lock. Closing the key only forgets it.
struct RegistryKey::Handle {
    RegistryHive hive = RegistryHive::CurrentUser;
    std::string path;  // the full key path, with the root key
    RegistryAccess access = RegistryAccess::Read;
};

RegistryKey::RegistryKey() = default;
RegistryKey::RegistryKey(RegistryKey&& other) noexcept = default;
RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept = default;
RegistryKey::~RegistryKey() = default;

void RegistryKey::close() {
    m_handle.reset();
}

RegistryStatus RegistryKey::queryValue(std::string_view name, RegistryValueType* type, void* data,
                                       std::uint32_t* size) const {
    if (!m_handle || (data != nullptr && size == nullptr)) {
        return RegistryStatus::Failed;
    }
    if (m_handle->access != RegistryAccess::Read) {
        return RegistryStatus::AccessDenied;
    }
    const HiveContents contents = ReadHive(m_handle->hive);
    if (contents.state == HiveState::Unreadable) {
        return RegistryStatus::Failed;
    }
    const RegistryFileSection* section = contents.document.findSection(m_handle->path);
    const RegistryFileValue* value = section == nullptr ? nullptr : section->findValue(name);
    if (value == nullptr) {
        return RegistryStatus::NotFound;
    }
    if (type != nullptr) {
        *type = value->type;
    }
    if (size == nullptr) {
        return RegistryStatus::Ok;
    }
    const auto stored = static_cast<std::uint32_t>(value->data.size());
    if (data != nullptr && stored > *size) {
        *size = stored;
        return RegistryStatus::MoreData;
    }
    if (data != nullptr) {
        std::memcpy(data, value->data.data(), stored);
    }
    *size = stored;
    return RegistryStatus::Ok;
}

RegistryStatus RegistryKey::setValue(std::string_view name, RegistryValueType type,
                                     const void* data, std::uint32_t size) {
    if (!m_handle || !IsStorableName(name) || (data == nullptr && size != 0)) {
        return RegistryStatus::Failed;
    }
    if (m_handle->access != RegistryAccess::Write) {
        return RegistryStatus::AccessDenied;
    }
    RegistryFileValue value{std::string(name), type,
                            std::string(static_cast<const char*>(data), size)};
    return ModifyHive(m_handle->hive, [&](RegistryDocument& document, bool& changed) {
        RegistryFileSection& section = document.ensureSection(m_handle->path);
        const RegistryFileValue* old = section.findValue(name);
        changed = old == nullptr || old->type != value.type || old->data != value.data;
        if (changed) {
            section.setValue(std::move(value));
        }
        return RegistryStatus::Ok;
    });
}

// The hive's file keeps bytes as they are: the narrow forms are the plain ones.
RegistryStatus RegistryKey::queryNarrowValue(std::string_view name, void* data,
                                             std::uint32_t* size) const {
    return queryValue(name, nullptr, data, size);
}

RegistryStatus RegistryKey::setNarrowValue(std::string_view name, const void* data,
                                           std::uint32_t size) {
    return setValue(name, kRegSz, data, size);
}

RegistryStatus RegistryKey::deleteValue(std::string_view name) {
    if (!m_handle) {
        return RegistryStatus::Failed;
    }
    if (m_handle->access != RegistryAccess::Write) {
        return RegistryStatus::AccessDenied;
    }
    return ModifyHive(m_handle->hive, [&](RegistryDocument& document, bool& changed) {
        RegistryFileSection* section = document.findSection(m_handle->path);
        changed = section != nullptr && section->deleteValue(name);
        return changed ? RegistryStatus::Ok : RegistryStatus::NotFound;
    });
}

RegistryStatus OpenRegistryKey(RegistryHive hive, std::string_view keyPath, RegistryKey& key) {
    key.close();
    const std::string fullPath = FullKeyPath(hive, keyPath);
    const HiveContents contents = ReadHive(hive);
    if (contents.state == HiveState::Unreadable) {
        return RegistryStatus::Failed;
    }
    if (!contents.document.hasKey(fullPath)) {
        return RegistryStatus::NotFound;
    }
    key.m_handle = std::make_unique<RegistryKey::Handle>(
        RegistryKey::Handle{hive, fullPath, RegistryAccess::Read});
    return RegistryStatus::Ok;
}

RegistryStatus CreateRegistryKey(RegistryHive hive, std::string_view keyPath, RegistryKey& key) {
    key.close();
    if (!IsStorableName(keyPath)) {
        return RegistryStatus::Failed;
    }
    const std::string fullPath = FullKeyPath(hive, keyPath);
    const RegistryStatus status = ModifyHive(hive, [&](RegistryDocument& document, bool& changed) {
        changed = !document.hasKey(fullPath);
        if (changed) {
            document.ensureSection(fullPath);
        }
        return RegistryStatus::Ok;
    });
    if (status != RegistryStatus::Ok) {
        return status;
    }
    key.m_handle = std::make_unique<RegistryKey::Handle>(
        RegistryKey::Handle{hive, fullPath, RegistryAccess::Write});
    return RegistryStatus::Ok;
}

std::optional<std::string> RegistryHiveLocation(RegistryHive hive) {
    return HivePathToRead(hive);
}

}  // namespace quillrun::platform
