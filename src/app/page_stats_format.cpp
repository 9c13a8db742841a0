#include "app/page_stats_format.h"

#include <array>
#include <charconv>

namespace quillrun::app {
namespace {

// to_chars rather than printf: Qt switches the C library to the user's locale, which would turn
// the decimal point into a comma for many users.
template <typename Number, typename... Format>
std::string ToText(Number value, Format... format) {
    std::array<char, 64> buffer{};
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format...);
    return std::string(buffer.data(), result.ptr);
}

}  // namespace

std::string FormatPageNumber(std::int32_t page) {
    return ToText(page);
}

std::string FormatCharacterCount(std::int32_t characters) {
    std::string text = ToText(characters);
    // Negative counts (only a damaged statistics line gives one) are shown as they are.
    if (characters < 0) {
        return text;
    }
    for (std::size_t end = text.size(); end > 3; end -= 3) {
        text.insert(end - 3, 1, ',');
    }
    return text;
}

std::string FormatConfidence(float confidence) {
    return ToText(static_cast<double>(confidence), std::chars_format::fixed, 2);
}

}  // namespace quillrun::app
