#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace quillrun {

// Texts are read from the registry into a buffer of this many bytes; a larger value fails to
// read and counts as missing.
inline constexpr std::uint32_t kTextBufferSize = 260;

// The bytes of a text value exactly as the read returned them, or nothing when the read failed
// (missing, unreadable or larger than the buffer).
std::optional<std::string> ReadTextBytes(const platform::RegistryKey& key, std::string_view name);
// The same through the narrow registry calls, for a value whose bytes matter.
std::optional<std::string> ReadNarrowTextBytes(const platform::RegistryKey& key,
                                               std::string_view name);

// A text is the returned bytes up to the first zero byte among them.
std::string TextUpToZero(std::string_view bytes);

}  // namespace quillrun
