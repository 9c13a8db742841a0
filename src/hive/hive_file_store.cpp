// The hive kept in files, for systems without a registry: one file per hive in the registry-export
// format, read afresh for every operation and replaced whole, under a lock, for every change.
#include <chrono>
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "hive/hive.h"
#include "hive/registry_file_format.h"
#include "hive/registry_value.h"
#include "platform/config_folders.h"
#include "platform/file_lock.h"
#include "platform/file_system.h"
#include "platform/local_time.h"
#include "platform/path_rules.h"
#include "platform/small_file.h"

namespace quillrun::hive {
namespace {

using platform::Access;

// A hive is a few hundred bytes; anything near this size is not one of ours.
constexpr std::size_t kLargestHiveFile = 16 * 1024 * 1024;

// Another instance holds the lock only while it rewrites a small file.
constexpr auto kLockPatience = std::chrono::seconds(10);

// The user's settings are private to the user; the machine's registration is for everybody.
struct HiveFile {
    std::string folder;
    std::string path;
    Access access = Access::OwnerOnly;
};

std::optional<HiveFile> UserHiveFile() {
    const std::optional<std::string> base = platform::UserConfigFolder();
    if (!base) {
        return std::nullopt;
    }
    HiveFile hive;
    hive.folder = platform::JoinPath(*base, "quillrun");
    hive.path = platform::JoinPath(hive.folder, "user.reg");
    return hive;
}

HiveFile MachineHiveFileIn(const std::string& configFolder) {
    HiveFile hive;
    hive.folder = platform::JoinPath(configFolder, "quillrun");
    hive.path = platform::JoinPath(hive.folder, "machine.reg");
    hive.access = Access::EveryoneReads;
    return hive;
}

// Where the hive is read from: the machine's is the first file that exists, in order.
std::optional<std::string> HivePathToRead(Hive hive) {
    if (hive == Hive::CurrentUser) {
        const auto file = UserHiveFile();
        return file ? std::optional<std::string>(file->path) : std::nullopt;
    }
    const std::vector<std::string> folders = platform::SystemConfigFolders();
    for (const std::string& folder : folders) {
        std::string path = MachineHiveFileIn(folder).path;
        if (platform::GetPathKind(path) != platform::PathKind::Missing) {
            return path;
        }
    }
    return MachineHiveFileIn(folders.front()).path;
}

// Where the hive is written: the machine's always to the first folder.
std::optional<HiveFile> HiveFileToWrite(Hive hive) {
    if (hive == Hive::CurrentUser) {
        return UserHiveFile();
    }
    return MachineHiveFileIn(platform::SystemConfigFolders().front());
}

std::string FullKeyPath(Hive hive, std::string_view keyPath) {
    std::string full = hive == Hive::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
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

// A file too large to be a hive reads as one that cannot be parsed: empty, and set aside whole
// before it is replaced.
HiveContents ReadHiveFile(const std::string& path) {
    HiveContents contents;
    platform::SmallFile file = platform::ReadSmallFile(path, kLargestHiveFile);
    switch (file.status) {
        case platform::SmallFileStatus::Missing:
            return contents;
        case platform::SmallFileStatus::Unreadable:
            contents.state = HiveState::Unreadable;
            return contents;
        case platform::SmallFileStatus::TooLarge:
            contents.state = HiveState::Unparseable;
            return contents;
        case platform::SmallFileStatus::Read:
            break;
    }
    auto document = ParseRegistryText(file.bytes);
    if (!document) {
        contents.state = HiveState::Unparseable;
        return contents;
    }
    contents.state = HiveState::Parsed;
    contents.document = std::move(*document);
    return contents;
}

HiveContents ReadHive(Hive hive) {
    const auto path = HivePathToRead(hive);
    if (!path) {
        HiveContents contents;
        contents.state = HiveState::Unreadable;
        return contents;
    }
    return ReadHiveFile(*path);
}

// Keeps an unreadable hive under a new name before it is replaced, so that nothing the user had
// is lost. The hive's own name keeps the old content until the new content replaces it.
bool SetAside(const std::string& path) {
    return platform::LinkAside(
        path, ".unreadable-" + platform::FormatFileNameTimeStamp().value_or("unknown-time"));
}

// What a change of a hive's document came to; only a change made rewrites the file.
enum class Change { Made, NotNeeded, Impossible };
using HiveChange = std::function<Change(RegistryDocument& document)>;

// Changes a hive's document under its lock. Nothing when it was changed (or needed no change),
// else why it could not be, in words for the user.
using Failure = std::optional<std::string>;

Failure ModifyHive(Hive hive, const HiveChange& change) {
    const auto file = HiveFileToWrite(hive);
    if (!file) {
        return "no folder for it can be made out (there is no home folder)";
    }
    if (const platform::FileResult folder = platform::CreateFolderTree(file->folder, file->access);
        !folder) {
        return "its folder " + file->folder + " cannot be created (" + folder.error.message + ")";
    }
    // The lock lies on a file of its own because every write replaces the hive's file.
    const std::string lockPath = file->path + ".lock";
    const platform::FileLock lock(lockPath, kLockPatience);
    if (!lock.held()) {
        return "its lock file " + lockPath + " cannot be taken (" + lock.error().message + ")";
    }
    const auto target = platform::RewriteTarget(file->path);
    if (!target) {
        return "the link at " + file->path + " leads nowhere it can be written";
    }
    // The user's hive holds the password, merely scrambled: whatever made it readable by others
    // (a copy, an editor, a restore from a backup), it is made private again whenever it is
    // written, also when no value changes.
    if (file->access == Access::OwnerOnly) {
        platform::MakeFilePrivate(*target);
    }
    HiveContents contents = ReadHiveFile(*target);
    if (contents.state == HiveState::Unreadable) {
        // Rewriting it would lose what it holds.
        return *target + " cannot be read, and is left as it is";
    }
    switch (change(contents.document)) {
        case Change::Made:
            break;
        case Change::NotNeeded:
            return std::nullopt;
        case Change::Impossible:
            return "there is no such value";
    }
    if (contents.state == HiveState::Unparseable && !SetAside(*target)) {
        return *target + " cannot be read, and cannot be kept aside before it is replaced";
    }
    if (const platform::FileResult written =
            platform::WriteWholeFile(*target, FormatRegistryText(contents.document), file->access,
                                     platform::Durability::Committed);
        !written) {
        return *target + " cannot be written (" + written.error.message + ")";
    }
    return std::nullopt;
}

}  // namespace

// An open key holds no descriptor: every operation reads the hive afresh, so a key that goes away
// leaves nothing to close.
struct KeyHandle {
    Hive hive = Hive::CurrentUser;
    std::string path;  // the full key path, with the root key
};

KeyReader::KeyReader(std::unique_ptr<KeyHandle> handle) : m_handle(std::move(handle)) {}
KeyReader::KeyReader(KeyReader&& other) noexcept = default;
KeyReader& KeyReader::operator=(KeyReader&& other) noexcept = default;
KeyReader::~KeyReader() = default;

std::optional<std::string> KeyReader::readText(std::string_view name) const {
    const HiveContents contents = ReadHive(m_handle->hive);
    const RegistryFileSection* section = contents.document.findSection(m_handle->path);
    const RegistryFileValue* value = section == nullptr ? nullptr : section->findValue(name);
    if (value == nullptr) {
        return std::nullopt;
    }
    return value->data;
}

// The hive's file keeps bytes as they are: a text's bytes are the text.
std::optional<std::string> KeyReader::readBytes(std::string_view name) const {
    return readText(name);
}

std::optional<std::uint32_t> KeyReader::readDword(std::string_view name) const {
    const std::optional<std::string> bytes = readText(name);
    return bytes ? DwordFromValue(*bytes) : std::nullopt;
}

KeyWriter::KeyWriter(std::unique_ptr<KeyHandle> handle) : m_handle(std::move(handle)) {}
KeyWriter::KeyWriter(KeyWriter&& other) noexcept = default;
KeyWriter& KeyWriter::operator=(KeyWriter&& other) noexcept = default;
KeyWriter::~KeyWriter() = default;

namespace {

Failure SetValue(const KeyHandle& key, RegistryFileValue value) {
    if (!IsStorableName(value.name)) {
        return "a value's name cannot hold a line end";
    }
    return ModifyHive(key.hive, [&](RegistryDocument& document) {
        RegistryFileSection& section = document.ensureSection(key.path);
        const RegistryFileValue* old = section.findValue(value.name);
        if (old != nullptr && old->type == value.type && old->data == value.data) {
            return Change::NotNeeded;
        }
        section.setValue(std::move(value));
        return Change::Made;
    });
}

}  // namespace

bool KeyWriter::Done(std::optional<std::string> failure) {
    if (failure) {
        m_problem = std::move(*failure);
    }
    return !failure;
}

bool KeyWriter::writeText(std::string_view name, std::string_view text) {
    return Done(SetValue(*m_handle, {std::string(name), kRegSz, std::string(text)}));
}

bool KeyWriter::writeBytes(std::string_view name, std::string_view bytes) {
    return writeText(name, bytes);
}

bool KeyWriter::writeDword(std::string_view name, std::uint32_t number) {
    const DwordBytes bytes = PackDword(number);
    return Done(SetValue(*m_handle,
                         {std::string(name), kRegDword, std::string(bytes.begin(), bytes.end())}));
}

bool KeyWriter::deleteValue(std::string_view name) {
    return Done(ModifyHive(m_handle->hive, [&](RegistryDocument& document) {
        RegistryFileSection* section = document.findSection(m_handle->path);
        return section != nullptr && section->deleteValue(name) ? Change::Made : Change::Impossible;
    }));
}

std::optional<KeyReader> OpenKey(Hive hive, std::string_view keyPath) {
    std::string fullPath = FullKeyPath(hive, keyPath);
    const HiveContents contents = ReadHive(hive);
    if (contents.state == HiveState::Unreadable || !contents.document.hasKey(fullPath)) {
        return std::nullopt;
    }
    return KeyReader(std::make_unique<KeyHandle>(KeyHandle{hive, std::move(fullPath)}));
}

std::optional<KeyWriter> CreateKey(Hive hive, std::string_view keyPath, std::string* problem) {
    std::string fullPath = FullKeyPath(hive, keyPath);
    Failure failure = !IsStorableName(keyPath) ? Failure("a key's path cannot hold a line end")
                                               : ModifyHive(hive, [&](RegistryDocument& document) {
                                                     if (document.hasKey(fullPath)) {
                                                         return Change::NotNeeded;
                                                     }
                                                     document.ensureSection(fullPath);
                                                     return Change::Made;
                                                 });
    if (failure) {
        if (problem != nullptr) {
            *problem = std::move(*failure);
        }
        return std::nullopt;
    }
    return KeyWriter(std::make_unique<KeyHandle>(KeyHandle{hive, std::move(fullPath)}));
}

std::optional<std::string> HiveLocation(Hive hive) {
    return HivePathToRead(hive);
}

std::optional<std::string> HiveProblem(Hive hive) {
    const auto path = HivePathToRead(hive);
    if (!path) {
        return std::nullopt;
    }
    switch (platform::ReadSmallFile(*path, kLargestHiveFile).status) {
        case platform::SmallFileStatus::Missing:
            return std::nullopt;
        case platform::SmallFileStatus::Unreadable:
            return *path + " is not a file this user can read; it is left as it is";
        case platform::SmallFileStatus::TooLarge:
            return *path +
                   " is far larger than a settings file; it is kept aside under a new "
                   "name when the settings are next saved";
        case platform::SmallFileStatus::Read:
            break;
    }
    if (ReadHive(hive).state == HiveState::Unparseable) {
        return *path +
               " is not in the format Quillrun writes; it is kept aside under a new name "
               "when the settings are next saved";
    }
    return std::nullopt;
}

}  // namespace quillrun::hive
