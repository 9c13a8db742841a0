#pragma once

#include <string>
#include <string_view>

namespace quillrun::platform {

// The system's narrow code page, in which programs built on the narrow ("A") calls kept their
// texts: on Windows the ANSI code page; elsewhere texts are UTF-8 already and pass unchanged.
// A character the code page lacks becomes the code page's default character.
std::string ToSystemCodePage(std::string_view utf8);
std::string FromSystemCodePage(std::string_view narrow);

}  // namespace quillrun::platform
