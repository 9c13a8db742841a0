#pragma once

#include <string>
#include <string_view>

namespace quillrun::platform {

// Texts are UTF-8 inside Quillrun and UTF-16 at every Win32 call; these two convert at the call.
// The round trip is exact for every name the system can hold: an unpaired surrogate, which a file
// name may contain, travels as its three-byte form instead of being replaced. Bytes that are not
// UTF-8 become U+FFFD, one for each.
std::wstring ToWide(std::string_view utf8);
std::string ToUtf8(std::wstring_view wide);

}  // namespace quillrun::platform
