#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

namespace quillrun {

// The recognition statistics of one page of one document.
struct PageStats {
    // The document the page belongs to, by its index in the run's documents: a long run holds
    // millions of pages, and a copy of the document's path for each would be most of their
    // memory. PageStatsTable::fileName() gives the path ("m_fileName").
    std::uint32_t m_document = 0;
    std::int32_t m_page = 0;               // 1 for the first line of the statistics file, ...
    std::int32_t m_characters = 0;         // characters on the page
    std::int32_t m_doubleWeightCount = 0;  // counts twice against the confidence
    std::int32_t m_singleWeightCount = 0;  // counts once against the confidence
    std::int32_t m_value4 = 0;             // stored, read by nobody
    std::int32_t m_value5 = 0;             // stored, read by nobody
    float m_confidence = 0.0f;             // percent
};

// The pages of one document as its statistics file gave them, in page order; m_document is not
// set until they join a run's table.
struct DocumentStatistics {
    std::string document;
    std::vector<PageStats> pages;
};

// The page statistics of a run: every page harvested, in harvest order, and the documents they
// belong to. Only ever appended to, so a page's index is its identity for the whole run, and a
// reference to a page stays valid: pages are kept in blocks and never move. The pages of one
// document follow each other.
class PageStatsTable {
  public:
    class const_iterator {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = PageStats;
        using difference_type = std::ptrdiff_t;
        using pointer = const PageStats*;
        using reference = const PageStats&;

        const_iterator() = default;
        const_iterator(const PageStatsTable* table, std::size_t page)
            : m_table(table), m_page(page) {}
        reference operator*() const { return (*m_table)[m_page]; }
        pointer operator->() const { return &(*m_table)[m_page]; }
        const_iterator& operator++() {
            ++m_page;
            return *this;
        }
        const_iterator operator++(int) {
            const const_iterator before = *this;
            ++m_page;
            return before;
        }
        bool operator==(const const_iterator& other) const = default;

      private:
        const PageStatsTable* m_table = nullptr;
        std::size_t m_page = 0;
    };

    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, m_size}; }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    const PageStats& operator[](std::size_t page) const {
        return m_blocks[page >> kBlockShift][page & (kBlockPages - 1)];
    }
    // The full path of the document the page belongs to.
    const std::string& fileName(const PageStats& page) const {
        return m_documents[page.m_document];
    }

    std::size_t documentCount() const { return m_documents.size(); }
    const std::string& documentPath(std::size_t document) const { return m_documents[document]; }

    // Starts the next document: the pages appended from now on belong to it.
    void AddDocument(std::string path);
    // Appends a page of the document added last, whatever page.m_document says.
    void AppendPage(PageStats page);
    // A document and its pages at once; a document without pages adds nothing.
    void AppendDocument(const DocumentStatistics& statistics);

  private:
    // 4096 pages of 32 bytes: a block is taken from the system as a whole and filled once, so a
    // growing run never copies its pages into fresh memory, as a doubling array would.
    static constexpr unsigned kBlockShift = 12;
    static constexpr std::size_t kBlockPages = std::size_t{1} << kBlockShift;

    std::vector<std::string> m_documents;  // the paths, by document index
    std::vector<std::vector<PageStats>> m_blocks;
    std::size_t m_size = 0;
};

}  // namespace quillrun
