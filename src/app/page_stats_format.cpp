#include "app/page_stats_format.h"

#include "engine/page_stats_text.h"

namespace quillrun::app {

std::string FormatPageNumber(std::int32_t page) {
    return NumberText(page);
}

std::string FormatCharacterCount(std::int32_t characters) {
    std::string text = NumberText(characters);
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
    return ConfidenceText(confidence);
}

}  // namespace quillrun::app
