#pragma once

#include <string>

namespace quillrun {

// The fixed key of the stored password's scrambling.
extern const std::string g_scrambleKey;

// Exclusive-or of every byte of text with the key repeated along it; applying it twice gives the
// text back. Texts are carried as bytes with their length, so a byte that scrambles to zero
// survives.
std::string ScrambleText(std::string text, std::string key);

}  // namespace quillrun
