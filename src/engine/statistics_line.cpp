#include "engine/statistics_line.h"

#include <limits>

namespace quillrun {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void SkipSpace(std::string_view& text) {
    while (!text.empty() && IsSpace(text.front())) {
        text.remove_prefix(1);
    }
}

// Every field is a count: a minus sign is a mismatch like any other, so a damaged or hostile
// line never gives a page a negative number of characters.
bool ScanNumber(std::string_view& text, std::int32_t& value) {
    SkipSpace(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() < '0' || text.front() > '9') {
        return false;
    }
    // Accumulate in 64 bits and stop growing once past the 32-bit range, so no digit count
    // can overflow.
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    while (!text.empty() && text.front() >= '0' && text.front() <= '9') {
        if (magnitude <= kLimit) {
            magnitude = magnitude * 10 + (text.front() - '0');
        }
        text.remove_prefix(1);
    }
    value = magnitude > std::numeric_limits<std::int32_t>::max()
                ? std::numeric_limits<std::int32_t>::max()
                : static_cast<std::int32_t>(magnitude);
    return true;
}

}  // namespace

int ScanStatisticsLine(std::string_view line, StatisticsFields& fields) {
    int scanned = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            if (line.empty() || line.front() != ',') {
                break;
            }
            line.remove_prefix(1);
        }
        if (!ScanNumber(line, fields[i])) {
            break;
        }
        ++scanned;
    }
    return scanned;
}

float ComputeConfidence(std::int32_t characters, std::int32_t doubleWeight,
                        std::int32_t singleWeight) {
    if (characters == 0) {
        return 0.0f;
    }
    const std::uint32_t wrapped = static_cast<std::uint32_t>(characters) -
                                  2u * static_cast<std::uint32_t>(doubleWeight) -
                                  static_cast<std::uint32_t>(singleWeight);
    const auto net = static_cast<std::int32_t>(wrapped);
    if (net <= 0) {
        return 0.0f;
    }
    // Single precision, multiplication first.
    const float scaled = static_cast<float>(net) * 100.0f;
    return scaled / static_cast<float>(characters);
}

}  // namespace quillrun
