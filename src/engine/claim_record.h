#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/this_process.h"

namespace quillrun {

// The text of a claim file: who holds the claim, one "name=value" line each, between a first
// line that says what the file is and a last line "end", so that a claim still being written is
// told apart from a finished one.
//
//   Quillrun claim
//   host=scanner-2
//   machine=0f3c...
//   boot=8d41...
//   scope=pid:[4026531836]
//   pid=4711
//   started=912345
//   end
std::string FormatClaimRecord(const platform::ProcessIdentity& holder);

// The holder named by a claim's text; nothing when the text is not a whole claim.
std::optional<platform::ProcessIdentity> ParseClaimRecord(std::string_view text);

}  // namespace quillrun
