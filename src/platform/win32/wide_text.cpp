#include "platform/win32/wide_text.h"

#include <cstdint>

namespace quillrun::platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Decodes one code point at text[at], advancing at; anything malformed yields U+FFFD for its
// first byte only, so that the next byte is looked at afresh.
char32_t DecodeAt(std::string_view text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    ++at;
    if (lead < 0x80) {
        return lead;
    }
    std::size_t length = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 1;
        value = lead & 0x1F;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 2;
        value = lead & 0x0F;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 3;
        value = lead & 0x07;
        smallest = 0x10000;
    } else {
        return kReplacement;
    }
    if (text.size() - at < length) {
        return kReplacement;
    }
    for (std::size_t i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[at + i]);
        if (!IsContinuation(byte)) {
            return kReplacement;
        }
        value = (value << 6) | (byte & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF) {
        return kReplacement;  // overlong forms and values beyond Unicode
    }
    at += length;
    return value;  // a lone surrogate's three bytes come back as that surrogate
}

void AppendUtf8(std::string& out, char32_t value) {
    if (value < 0x80) {
        out += static_cast<char>(value);
    } else if (value < 0x800) {
        out += static_cast<char>(0xC0 | (value >> 6));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else if (value < 0x10000) {
        out += static_cast<char>(0xE0 | (value >> 12));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (value >> 18));
        out += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    }
}

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::wstring ToWide(std::string_view utf8) {
    std::wstring wide;
    wide.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const char32_t value = DecodeAt(utf8, at);
        if (value >= 0x10000) {
            const char32_t offset = value - 0x10000;
            wide += static_cast<wchar_t>(0xD800 + (offset >> 10));
            wide += static_cast<wchar_t>(0xDC00 + (offset & 0x3FF));
        } else {
            wide += static_cast<wchar_t>(value);
        }
    }
    return wide;
}

std::string ToUtf8(std::wstring_view wide) {
    std::string utf8;
    utf8.reserve(wide.size());
    for (std::size_t at = 0; at < wide.size(); ++at) {
        const auto unit = static_cast<char32_t>(static_cast<std::uint16_t>(wide[at]));
        if (IsHighSurrogate(unit) && at + 1 < wide.size()) {
            const auto next = static_cast<char32_t>(static_cast<std::uint16_t>(wide[at + 1]));
            if (IsLowSurrogate(next)) {
                AppendUtf8(utf8, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                ++at;
                continue;
            }
        }
        AppendUtf8(utf8, unit);
    }
    return utf8;
}

}  // namespace quillrun::platform
