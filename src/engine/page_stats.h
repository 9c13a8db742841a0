#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace quillrun {

// The recognition statistics of one page of one document.
struct PageStats {
    // Full path of the document the page belongs to. The pages of one document share one string:
    // a long run holds millions of pages, and a copy of the path per page would be most of
    // their memory.
    std::shared_ptr<const std::string> m_fileName;
    std::int32_t m_page = 0;               // 1 for the first line of the statistics file, ...
    std::int32_t m_characters = 0;         // characters on the page
    std::int32_t m_doubleWeightCount = 0;  // counts twice against the confidence
    std::int32_t m_singleWeightCount = 0;  // counts once against the confidence
    std::int32_t m_value4 = 0;             // stored, read by nobody
    std::int32_t m_value5 = 0;             // stored, read by nobody
    float m_confidence = 0.0f;             // percent

    // The document's path; empty for a record that names none.
    const std::string& fileName() const {
        static const std::string kNone;
        return m_fileName ? *m_fileName : kNone;
    }
};

}  // namespace quillrun
