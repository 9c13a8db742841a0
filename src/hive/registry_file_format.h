#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hive/registry_value.h"

namespace quillrun::hive {

// The text registry-export format ("REGEDIT4") that a hive is kept in on systems without a
// registry. Portable: it knows nothing of files.
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Tandrel\Quillrun]
//   "sourcePath"="/srv/scans"
//   "epwd"=hex(1):00,35,0b
//   "writeLog"=dword:00000001
//   @="the key's default value"
//
// Texts of printable UTF-8 are written in quotes with \\ and \" escaped; every other text, and
// every value of another type, is written byte for byte in hex, so nothing is ever lost.

struct RegistryFileValue {
    std::string name;  // "" is the key's default value
    RegistryValueType type = kRegNone;
    std::string data;  // the bytes exactly as stored
    bool operator==(const RegistryFileValue&) const = default;
};

struct RegistryFileSection {
    std::string keyPath;  // full path with the root key: "HKEY_CURRENT_USER\\Software\\..."
    std::vector<RegistryFileValue> values;

    const RegistryFileValue* findValue(std::string_view name) const;
    // Replaces the value of that name in place, or appends it.
    void setValue(RegistryFileValue value);
    bool deleteValue(std::string_view name);
};

struct RegistryDocument {
    std::vector<RegistryFileSection> sections;  // in the order of the file

    const RegistryFileSection* findSection(std::string_view keyPath) const;
    RegistryFileSection* findSection(std::string_view keyPath);
    RegistryFileSection& ensureSection(std::string_view keyPath);
    // A key exists when it has a section of its own or a section of one of its subkeys does.
    bool hasKey(std::string_view keyPath) const;
};

// Key paths and value names compare as the registry compares them: without regard to case.
bool RegistryNamesEqual(std::string_view a, std::string_view b);

// Accepts a leading "REGEDIT4" line (after an optional byte-order mark), comments (";"), blank
// lines, LF or CR LF line ends, quoted or hex text values, and hex lists continued on the next
// line after a trailing backslash. A key that appears twice has its values merged. Anything
// else (a line cut off inside a quoted text, a stray line, a bad hex byte) makes the whole text
// unreadable: nothing is guessed. Text that is empty or blank is an empty document.
std::optional<RegistryDocument> ParseRegistryText(std::string_view text);

std::string FormatRegistryText(const RegistryDocument& document);

}  // namespace quillrun::hive
