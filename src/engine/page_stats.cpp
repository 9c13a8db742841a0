#include "engine/page_stats.h"

#include <cassert>

namespace quillrun {

PageStatsTable::PageRange PageStatsTable::pagesOf(std::size_t document) const {
    const std::size_t end =
        document + 1 < m_documents.size() ? m_documents[document + 1].firstPage : m_size;
    return {m_documents[document].firstPage, end};
}

void PageStatsTable::AddDocument(std::string path) {
    m_documents.push_back({std::move(path), m_size});
}

void PageStatsTable::AppendPage(PageStats page) {
    assert(!m_documents.empty());
    page.m_document = static_cast<std::uint32_t>(m_documents.size() - 1);
    if ((m_size & (kBlockPages - 1)) == 0) {
        m_blocks.emplace_back().reserve(kBlockPages);
    }
    m_blocks.back().push_back(page);
    ++m_size;
}

}  // namespace quillrun
