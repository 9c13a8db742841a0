#include "engine/page_stats.h"

#include <cassert>

namespace quillrun {

void PageStatsTable::AddDocument(std::string path) {
    m_documents.push_back(std::move(path));
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

void PageStatsTable::AppendDocument(const DocumentStatistics& statistics) {
    if (statistics.pages.empty()) {
        return;
    }
    AddDocument(statistics.document);
    for (const PageStats& page : statistics.pages) {
        AppendPage(page);
    }
}

}  // namespace quillrun
