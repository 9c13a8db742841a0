#include "hive/registry_file_format.h"

#include <algorithm>
#include <cstddef>
#include <unordered_map>
#include <utility>

#include "hive/registry_value.h"

namespace quillrun::hive {
namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string FoldCase(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        c = AsciiLower(c);
    }
    return folded;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           RegistryNamesEqual(text.substr(0, prefix.size()), prefix);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = AsciiLower(c);
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// Parses 1 to maxDigits hex digits that make up the whole of text.
std::optional<std::uint32_t> ParseHexNumber(std::string_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) {
        return std::nullopt;
    }
    std::uint32_t number = 0;
    for (const char c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0) {
            return std::nullopt;
        }
        number = number * 16 + static_cast<std::uint32_t>(digit);
    }
    return number;
}

// Hands out the lines of a text without their LF or CR LF ends.
class LineReader {
  public:
    explicit LineReader(std::string_view text) : m_rest(text) {}

    bool next(std::string_view& line) {
        if (m_rest.empty()) {
            return false;
        }
        const std::size_t end = m_rest.find('\n');
        line = m_rest.substr(0, end);
        m_rest.remove_prefix(end == std::string_view::npos ? m_rest.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        return true;
    }

  private:
    std::string_view m_rest;
};

// Reads a quoted text whose opening quote has been consumed; only \\ and \" are escapes.
std::optional<std::string> TakeQuoted(std::string_view& text) {
    std::string result;
    while (!text.empty()) {
        const char c = text.front();
        text.remove_prefix(1);
        if (c == '"') {
            return result;
        }
        if (c == '\\') {
            if (text.empty() || (text.front() != '\\' && text.front() != '"')) {
                return std::nullopt;
            }
            result.push_back(text.front());
            text.remove_prefix(1);
            continue;
        }
        result.push_back(c);
    }
    return std::nullopt;
}

// Reads a comma-separated list of hex bytes, which may go on over following lines when a line
// ends in a backslash after a comma.
std::optional<std::string> TakeHexBytes(std::string_view text, LineReader& lines) {
    std::string bytes;
    text = TrimBlanks(text);
    if (text.empty()) {
        return bytes;
    }
    for (;;) {
        const std::size_t comma = text.find(',');
        const std::string_view item = TrimBlanks(text.substr(0, comma));
        const auto value = ParseHexNumber(item, 2);
        if (!value) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<char>(*value));
        if (comma == std::string_view::npos) {
            return bytes;
        }
        text = TrimBlanks(text.substr(comma + 1));
        if (text == "\\") {
            std::string_view continuation;
            if (!lines.next(continuation)) {
                return std::nullopt;
            }
            text = TrimBlanks(continuation);
        }
    }
}

std::string DwordData(std::uint32_t number) {
    const DwordBytes bytes = PackDword(number);
    return std::string(bytes.begin(), bytes.end());
}

std::uint32_t DwordOf(std::string_view data) {
    DwordBytes bytes{};
    std::copy_n(data.begin(), kDwordSize, bytes.begin());
    return UnpackDword(bytes);
}

// The data after "=": a quoted text, dword:, hex: or hex(N):.
std::optional<RegistryFileValue> TakeValueData(std::string_view text, LineReader& lines) {
    RegistryFileValue value;
    if (!text.empty() && text.front() == '"') {
        text.remove_prefix(1);
        auto quoted = TakeQuoted(text);
        if (!quoted || !TrimBlanks(text).empty()) {
            return std::nullopt;
        }
        value.type = kRegSz;
        value.data = std::move(*quoted);
        return value;
    }
    if (StartsWithNoCase(text, "dword:")) {
        const auto number = ParseHexNumber(TrimBlanks(text.substr(6)), 8);
        if (!number) {
            return std::nullopt;
        }
        value.type = kRegDword;
        value.data = DwordData(*number);
        return value;
    }
    if (StartsWithNoCase(text, "hex:")) {
        value.type = kRegBinary;
        text.remove_prefix(4);
    } else if (StartsWithNoCase(text, "hex(")) {
        const std::size_t close = text.find("):");
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        const auto type = ParseHexNumber(text.substr(4, close - 4), 8);
        if (!type) {
            return std::nullopt;
        }
        value.type = *type;
        text.remove_prefix(close + 2);
    } else {
        return std::nullopt;
    }
    auto bytes = TakeHexBytes(text, lines);
    if (!bytes) {
        return std::nullopt;
    }
    value.data = std::move(*bytes);
    return value;
}

std::optional<RegistryFileValue> ParseValueLine(std::string_view line, LineReader& lines) {
    std::string name;
    if (line.front() == '@') {
        line.remove_prefix(1);
    } else {
        line.remove_prefix(1);  // the opening quote
        auto quoted = TakeQuoted(line);
        if (!quoted) {
            return std::nullopt;
        }
        name = std::move(*quoted);
    }
    line = TrimBlanks(line);
    if (line.empty() || line.front() != '=') {
        return std::nullopt;
    }
    auto value = TakeValueData(TrimBlanks(line.substr(1)), lines);
    if (value) {
        value->name = std::move(name);
    }
    return value;
}

std::optional<std::string> ParseSectionLine(std::string_view line) {
    const std::size_t close = line.rfind(']');
    if (close == std::string_view::npos || !TrimBlanks(line.substr(close + 1)).empty()) {
        return std::nullopt;
    }
    const std::string_view path = line.substr(1, close - 1);
    // "[-KEY]" asks an import to delete a key: it has no place in a stored hive.
    if (path.empty() || path.front() == '-') {
        return std::nullopt;
    }
    return std::string(path);
}

// Text that a person can read in the file as it is: valid UTF-8 without control characters.
bool IsPrintableText(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x20 || lead == 0x7F) {
            return false;
        }
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        std::uint32_t codePoint = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            codePoint = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            codePoint = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            codePoint = lead & 0x07u;
        } else {
            return false;
        }
        if (i + length > bytes.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0u) != 0x80u) {
                return false;
            }
            codePoint = (codePoint << 6) | (next & 0x3Fu);
        }
        const bool overlong =
            (length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000);
        const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
        const bool control = codePoint >= 0x80 && codePoint <= 0x9F;
        if (overlong || surrogate || control || codePoint > 0x10FFFF) {
            return false;
        }
        i += length;
    }
    return true;
}

void AppendQuoted(std::string& out, std::string_view text) {
    out.push_back('"');
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            out.push_back('\\');
        }
        out.push_back(c);
    }
    out.push_back('"');
}

void AppendHex(std::string& out, std::uint32_t number, int digits) {
    constexpr std::string_view kDigits = "0123456789abcdef";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
        out.push_back(kDigits[(number >> shift) & 0xFu]);
    }
}

void AppendHexShortest(std::string& out, std::uint32_t number) {
    int digits = 1;
    while (digits < 8 && (number >> (4 * digits)) != 0) {
        ++digits;
    }
    AppendHex(out, number, digits);
}

void AppendValue(std::string& out, const RegistryFileValue& value) {
    if (value.name.empty()) {
        out.push_back('@');
    } else {
        AppendQuoted(out, value.name);
    }
    out.push_back('=');
    if (value.type == kRegSz && IsPrintableText(value.data)) {
        AppendQuoted(out, value.data);
    } else if (value.type == kRegDword && value.data.size() == kDwordSize) {
        out += "dword:";
        AppendHex(out, DwordOf(value.data), 8);
    } else {
        out += "hex(";
        AppendHexShortest(out, value.type);
        out += "):";
        for (std::size_t i = 0; i < value.data.size(); ++i) {
            if (i > 0) {
                out.push_back(',');
            }
            AppendHex(out, static_cast<unsigned char>(value.data[i]), 2);
        }
    }
    out.push_back('\n');
}

}  // namespace

bool RegistryNamesEqual(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

const RegistryFileValue* RegistryFileSection::findValue(std::string_view name) const {
    const auto found = std::find_if(values.begin(), values.end(), [&](const RegistryFileValue& v) {
        return RegistryNamesEqual(v.name, name);
    });
    return found == values.end() ? nullptr : &*found;
}

void RegistryFileSection::setValue(RegistryFileValue value) {
    const auto found = std::find_if(values.begin(), values.end(), [&](const RegistryFileValue& v) {
        return RegistryNamesEqual(v.name, value.name);
    });
    if (found == values.end()) {
        values.push_back(std::move(value));
        return;
    }
    // The name keeps the spelling it was first stored with, as the registry keeps it.
    found->type = value.type;
    found->data = std::move(value.data);
}

bool RegistryFileSection::deleteValue(std::string_view name) {
    const auto found = std::find_if(values.begin(), values.end(), [&](const RegistryFileValue& v) {
        return RegistryNamesEqual(v.name, name);
    });
    if (found == values.end()) {
        return false;
    }
    values.erase(found);
    return true;
}

const RegistryFileSection* RegistryDocument::findSection(std::string_view keyPath) const {
    const auto found = std::find_if(
        sections.begin(), sections.end(),
        [&](const RegistryFileSection& s) { return RegistryNamesEqual(s.keyPath, keyPath); });
    return found == sections.end() ? nullptr : &*found;
}

RegistryFileSection* RegistryDocument::findSection(std::string_view keyPath) {
    return const_cast<RegistryFileSection*>(std::as_const(*this).findSection(keyPath));
}

RegistryFileSection& RegistryDocument::ensureSection(std::string_view keyPath) {
    if (RegistryFileSection* existing = findSection(keyPath)) {
        return *existing;
    }
    sections.push_back(RegistryFileSection{std::string(keyPath), {}});
    return sections.back();
}

bool RegistryDocument::hasKey(std::string_view keyPath) const {
    return std::any_of(sections.begin(), sections.end(), [&](const RegistryFileSection& s) {
        const std::string_view path = s.keyPath;
        if (RegistryNamesEqual(path, keyPath)) {
            return true;
        }
        return path.size() > keyPath.size() && path[keyPath.size()] == '\\' &&
               RegistryNamesEqual(path.substr(0, keyPath.size()), keyPath);
    });
}

std::optional<RegistryDocument> ParseRegistryText(std::string_view text) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    RegistryDocument document;
    // Indexes by folded name, so that a large or hostile file costs time in proportion to its
    // length rather than to its square.
    std::unordered_map<std::string, std::size_t> sectionIndex;
    std::vector<std::unordered_map<std::string, std::size_t>> valueIndex;
    LineReader lines(text);
    std::string_view line;
    bool headerSeen = false;
    std::size_t current = 0;  // index of the section being read, once there is one
    while (lines.next(line)) {
        line = TrimBlanks(line);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (!headerSeen) {
            if (line != kHeader) {
                return std::nullopt;
            }
            headerSeen = true;
            continue;
        }
        if (line.front() == '[') {
            auto path = ParseSectionLine(line);
            if (!path) {
                return std::nullopt;
            }
            const auto [found, added] =
                sectionIndex.try_emplace(FoldCase(*path), document.sections.size());
            if (added) {
                document.sections.push_back(RegistryFileSection{std::move(*path), {}});
                valueIndex.emplace_back();
            }
            current = found->second;
            continue;
        }
        if ((line.front() != '"' && line.front() != '@') || document.sections.empty()) {
            return std::nullopt;
        }
        auto value = ParseValueLine(line, lines);
        if (!value) {
            return std::nullopt;
        }
        std::vector<RegistryFileValue>& values = document.sections[current].values;
        const auto [found, added] =
            valueIndex[current].try_emplace(FoldCase(value->name), values.size());
        if (added) {
            values.push_back(std::move(*value));
        } else {
            values[found->second].type = value->type;
            values[found->second].data = std::move(value->data);
        }
    }
    return document;
}

std::string FormatRegistryText(const RegistryDocument& document) {
    std::string out(kHeader);
    out += "\n\n";
    for (const RegistryFileSection& section : document.sections) {
        out.push_back('[');
        out += section.keyPath;
        out += "]\n";
        for (const RegistryFileValue& value : section.values) {
            AppendValue(out, value);
        }
        out.push_back('\n');
    }
    return out;
}

}  // namespace quillrun::hive
