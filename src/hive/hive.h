#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quillrun::hive {

// The two parts of the registry this program uses. On Windows they are the system's own. On
// other systems each is a text file in the registry-export format: the current user's under
// $XDG_CONFIG_HOME/quillrun/user.reg, the machine's in the first quillrun/machine.reg of the
// $XDG_CONFIG_DIRS folders. Key paths are relative to the hive, with backslashes
// ("Software\\Tandrel\\Quillrun"); key and value names compare without regard to ASCII case, and
// "" names a key's default value. Two instances of the program that write the same key at once
// never lose each other's values.
enum class Hive { CurrentUser, LocalMachine };

// What an open key holds; each store defines its own.
struct KeyHandle;

// A key opened for reading. The values are read as the store holds them at the time of the read.
class KeyReader {
  public:
    explicit KeyReader(std::unique_ptr<KeyHandle> handle);
    KeyReader(KeyReader&& other) noexcept;
    KeyReader& operator=(KeyReader&& other) noexcept;
    ~KeyReader();

    // The bytes of a text, exactly as stored and without a terminator (UTF-8 on Windows); a value
    // of another type is read as its bytes. Nothing when it is absent or cannot be read.
    std::optional<std::string> readText(std::string_view name) const;
    // A text whose bytes matter rather than its characters (a scrambled password): on Windows
    // through the narrow registry calls, which carry the bytes through the system's code page
    // exactly as a program built on those calls stored and read them.
    std::optional<std::string> readBytes(std::string_view name) const;
    // The value's 1 to 4 bytes as a number, least significant first, whatever its type.
    std::optional<std::uint32_t> readDword(std::string_view name) const;

  private:
    std::unique_ptr<KeyHandle> m_handle;
};

// A key opened for writing. Each write is a change of its own; a failure leaves the value as it
// was.
class KeyWriter {
  public:
    explicit KeyWriter(std::unique_ptr<KeyHandle> handle);
    KeyWriter(KeyWriter&& other) noexcept;
    KeyWriter& operator=(KeyWriter&& other) noexcept;
    ~KeyWriter();

    // Why the last write or deletion that failed did, in words for the user.
    const std::string& problem() const { return m_problem; }

    bool writeText(std::string_view name, std::string_view text);
    // Stored as a text, through the narrow calls on Windows; see KeyReader::readBytes.
    bool writeBytes(std::string_view name, std::string_view bytes);
    bool writeDword(std::string_view name, std::uint32_t number);
    // False when there is no such value or it cannot be deleted.
    bool deleteValue(std::string_view name);

  private:
    bool Done(std::optional<std::string> failure);

    std::unique_ptr<KeyHandle> m_handle;
    std::string m_problem;
};

// An existing key; nothing when it is missing or the hive cannot be read.
std::optional<KeyReader> OpenKey(Hive hive, std::string_view keyPath);

// A key to write, created (with the hive's file and its folders) when missing; when it cannot be,
// problem (if given) says why.
std::optional<KeyWriter> CreateKey(Hive hive, std::string_view keyPath,
                                   std::string* problem = nullptr);

// Why what the hive holds cannot be read as settings now (its file is not one this user can
// read, is far too large, or is not in the registry-export format), in words for the log;
// nothing when it can be, or is simply not there yet.
std::optional<std::string> HiveProblem(Hive hive);

// Where the hive is kept, for telling the user where settings come from: the current user's file
// (which need not exist yet), or the machine's file that is read (the first that exists, else the
// one the installer would write); on Windows the registry's root key. Nothing when no location
// can be made out (no home folder).
std::optional<std::string> HiveLocation(Hive hive);

// The installer's side: sets the default value of a key in the machine hive as text, creating
// the key, the file and its folders as needed.
bool WriteMachineDefaultValue(std::string_view keyPath, std::string_view value);

}  // namespace quillrun::hive
