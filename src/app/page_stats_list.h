#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "app/page_stats_compare.h"
#include "engine/page_stats.h"

namespace quillrun::app {

// A column of the Recognition Statistics list: its heading, its width in pixels of the 8-point
// dialog font the list was laid out for (characters averaging 6 pixels across), and whether its
// cells line up on the right, as numbers do.
struct PageStatsColumnLayout {
    const char* heading;
    int width;
    bool alignRight;
};

inline constexpr int kLayoutFontAverageWidth = 6;
inline constexpr std::array<PageStatsColumnLayout, kPageStatsColumnCount> kPageStatsColumns{{
    // The list showed its first column left-aligned whatever was asked of it, and a path reads
    // better that way.
    {"File Name", 300, false},
    {"Page", 100, true},
    {"Characters", 100, true},
    {"Confidence Level", 100, true},
}};

// The rows of the Recognition Statistics list, whatever toolkit shows them: the records the run
// holds when the list is made, each row naming its record by index, in the order of the last
// column sorted by. Records are only ever appended to the run's statistics, so an index taken
// when the window opened stays valid while the work goes on behind it; a reference would not
// survive the records growing.
class PageStatsList {
  public:
    explicit PageStatsList(const PageStatsTable& records);

    std::size_t rowCount() const { return m_recordOfRow.size(); }
    std::size_t recordIndexAt(std::size_t row) const { return m_recordOfRow[row]; }
    const PageStats& recordAt(std::size_t row) const { return m_records[m_recordOfRow[row]]; }
    const std::string& fileNameAt(std::size_t row) const {
        return m_records.fileName(recordAt(row));
    }

    // The text of a cell, formatted when it is asked for, so a long run costs no more than one
    // index per page.
    std::string CellText(std::size_t row, int column) const;

    // Always ascending: the list knows no descending order. Rows that compare equal keep their
    // order.
    void SortByColumn(int column);

  private:
    const PageStatsTable& m_records;
    std::vector<std::size_t> m_recordOfRow;
};

}  // namespace quillrun::app
