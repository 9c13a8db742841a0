#pragma once

#include <cstdint>
#include <string>

namespace quillrun {

// The recognition statistics of one page of one document.
struct PageStats {
    std::string m_fileName;                // full path of the document the page belongs to
    std::int32_t m_page = 0;               // 1 for the first line of the statistics file, ...
    std::int32_t m_characters = 0;         // characters on the page
    std::int32_t m_doubleWeightCount = 0;  // counts twice against the confidence
    std::int32_t m_singleWeightCount = 0;  // counts once against the confidence
    std::int32_t m_value4 = 0;             // stored, read by nobody
    std::int32_t m_value5 = 0;             // stored, read by nobody
    float m_confidence = 0.0f;             // percent
};

}  // namespace quillrun
