#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry_value.h"

namespace quillrun::platform {

// The two parts of the registry this program uses: on Windows the system's own. On POSIX systems
// each is a text file in the registry-export format: the current user's under
// $XDG_CONFIG_HOME/quillrun/user.reg, the machine's in the first quillrun/machine.reg of the
// $XDG_CONFIG_DIRS folders.
enum class RegistryHive { CurrentUser, LocalMachine };

enum class RegistryStatus {
    Ok,
    NotFound,      // no such key or value
    MoreData,      // the value is larger than the caller's buffer; the size says how large
    AccessDenied,  // the key was not opened for this kind of access
    Failed         // the store could not be read or written
};

enum class RegistryAccess { Read, Write };

// An open key, closed when it is destroyed. On Windows it holds the key's handle; elsewhere
// nothing but where the key is. Two instances of the program that write the same key at once
// never lose each other's values.
class RegistryKey {
  public:
    RegistryKey();
    RegistryKey(RegistryKey&& other) noexcept;
    RegistryKey& operator=(RegistryKey&& other) noexcept;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey();

    bool isOpen() const { return m_handle != nullptr; }
    void close();

    // Reads one value ("" names the key's default value) into data, whose capacity *size gives
    // in bytes; on Ok *size holds the number of bytes stored, without any added terminator. When
    // the value is larger, nothing is copied, MoreData is returned and *size holds the size
    // needed. A null data pointer asks for the size only. type may be null. Texts (kRegSz,
    // kRegExpandSz) are UTF-8 here, whatever form the system keeps them in.
    RegistryStatus queryValue(std::string_view name, RegistryValueType* type, void* data,
                              std::uint32_t* size) const;

    // Stores exactly size bytes of data under the name, with the type given; a text as UTF-8.
    // (The Windows registry keeps a text with its terminator, as it always has; no read returns
    // it.)
    RegistryStatus setValue(std::string_view name, RegistryValueType type, const void* data,
                            std::uint32_t size);

    // The same for a text value whose bytes matter rather than its characters (a scrambled
    // password): on Windows through the narrow registry calls, which carry the bytes through the
    // system's code page exactly as a program built on those calls stored and read them.
    // Elsewhere the same as the calls above.
    RegistryStatus queryNarrowValue(std::string_view name, void* data, std::uint32_t* size) const;
    RegistryStatus setNarrowValue(std::string_view name, const void* data, std::uint32_t size);

    RegistryStatus deleteValue(std::string_view name);

  private:
    friend RegistryStatus OpenRegistryKey(RegistryHive, std::string_view, RegistryKey&);
    friend RegistryStatus CreateRegistryKey(RegistryHive, std::string_view, RegistryKey&);

    // What an open key holds; each system's store defines its own.
    struct Handle;
    std::unique_ptr<Handle> m_handle;
};

// Opens an existing key for reading. keyPath is relative to the hive, with backslashes
// ("Software\\Tandrel\\Quillrun"); key and value names compare without regard to ASCII case.
RegistryStatus OpenRegistryKey(RegistryHive hive, std::string_view keyPath, RegistryKey& key);

// Opens a key for writing, creating it (and the hive's file and folders) when missing. A key
// opened this way can be written and its values deleted, but not read.
RegistryStatus CreateRegistryKey(RegistryHive hive, std::string_view keyPath, RegistryKey& key);

// Where the hive is kept, for telling the user where settings come from: the current user's file
// (which need not exist yet), or the machine's file that is read (the first that exists, else the
// one the installer would write). Nothing when no location can be made out (no home folder).
std::optional<std::string> RegistryHiveLocation(RegistryHive hive);

// The installer's side: sets the default value of a key in the machine hive as text, creating
// the key, the file and its folders as needed.
bool WriteMachineDefaultValue(const std::string& keyPath, const std::string& value);

}  // namespace quillrun::platform
