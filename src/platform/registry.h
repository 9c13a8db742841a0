#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/system_error.h"

namespace quillrun::platform {

// The system's registry, on Windows. Other systems have none: there the hive layer keeps the
// settings in files of its own.
enum class RegistryRoot { CurrentUser, LocalMachine };

// An open key, closed when it is destroyed. Key paths are relative to the root, with backslashes
// ("Software\\Tandrel\\Quillrun"); "" names a key's default value. Names are UTF-8.
class RegistryKey {
  public:
    // An existing key, for reading. A key of the machine is looked up in the 32-bit view of the
    // registry as well, where a 32-bit program's installer records itself.
    static std::optional<RegistryKey> Open(RegistryRoot root, std::string_view path);
    // A key for writing, created when missing.
    static std::optional<RegistryKey> Create(RegistryRoot root, std::string_view path);

    RegistryKey(RegistryKey&& other) noexcept;
    RegistryKey& operator=(RegistryKey&& other) noexcept;
    ~RegistryKey();

    // A value through the wide calls: a text as UTF-8 without its terminator, a value of any other
    // type as the bytes stored. Nothing when it is absent or cannot be read.
    std::optional<std::string> readValue(std::string_view name) const;
    // A text whose bytes matter rather than its characters (a scrambled password), through the
    // narrow calls: its bytes in the system's code page, exactly as a program built on those
    // calls stored and read them, without its terminator.
    std::optional<std::string> readNarrowText(std::string_view name) const;

    // A text, stored with its terminator as the registry always kept texts.
    bool writeText(std::string_view name, std::string_view utf8);
    bool writeNarrowText(std::string_view name, std::string_view bytes);
    bool writeDword(std::string_view name, std::uint32_t number);
    // False when there is no such value or it cannot be deleted.
    bool deleteValue(std::string_view name);

  private:
    struct Handle;
    explicit RegistryKey(std::unique_ptr<Handle> handle);
    std::unique_ptr<Handle> m_handle;
};

// Makes the key path of another account (named by its security identifier, "S-1-5-20") an exact
// copy of the current user's key path: every value with its type and its bytes as stored, so that
// a text the narrow calls wrote reads back through them byte for byte, and nothing of what the
// key held before. The account's part of the registry must be loaded: a built-in service
// account's always is, a user's while the user is logged on. Nothing on success, else why not.
std::optional<SystemError> CopyKeyToAccount(std::string_view path, std::string_view accountSid);

}  // namespace quillrun::platform
