#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace quillrun {

// Texts are read whole, whatever their length, up to this bound: far more than any path or
// command line needs, and small enough that a damaged or hostile value cannot exhaust memory.
inline constexpr std::uint32_t kLongestStoredText = 64 * 1024;

struct TextValue {
    enum class Status { Read, Missing, TooLong };
    Status status = Status::Missing;
    std::string bytes;  // exactly as stored, when read
};

// The bytes of a text value; Missing when it is absent or cannot be read, TooLong (and nothing
// read) beyond kLongestStoredText.
TextValue ReadTextValue(const platform::RegistryKey& key, std::string_view name);
// The same through the narrow registry calls, for a value whose bytes matter.
TextValue ReadNarrowTextValue(const platform::RegistryKey& key, std::string_view name);

// A text is the returned bytes up to the first zero byte among them.
std::string TextUpToZero(std::string_view bytes);

}  // namespace quillrun
