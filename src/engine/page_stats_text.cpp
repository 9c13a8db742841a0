#include "engine/page_stats_text.h"

#include <array>
#include <charconv>

namespace quillrun {
namespace {

template <typename Number, typename... Format>
std::string ToText(Number value, Format... format) {
    std::array<char, 64> buffer{};
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format...);
    return std::string(buffer.data(), result.ptr);
}

}  // namespace

std::string NumberText(std::int64_t number) {
    return ToText(number);
}

std::string ConfidenceText(float confidence) {
    return ToText(static_cast<double>(confidence), std::chars_format::fixed, 2);
}

}  // namespace quillrun
