#include "platform/narrow_text.h"

namespace quillrun::platform {

std::string ToSystemCodePage(std::string_view utf8) {
    return std::string(utf8);
}

std::string FromSystemCodePage(std::string_view narrow) {
    return std::string(narrow);
}

}  // namespace quillrun::platform
