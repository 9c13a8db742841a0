#include "ui/shell/page_stats_model.h"

#include <array>
#include <numeric>

#include "engine/page_stats.h"
#include "ui/shell/page_stats_compare.h"
#include "ui/shell/page_stats_format.h"

namespace quillrun::ui {
namespace {

constexpr std::array<const char*, kPageStatsColumnCount> kHeadings{
    "File Name", "Page", "Characters", "Confidence Level"};

QString CellText(const PageStats& record, int column) {
    switch (column) {
        case kFileNameColumn:
            return QString::fromLocal8Bit(record.m_fileName);
        case kPageColumn:
            return QString::fromStdString(FormatPageNumber(record.m_page));
        case kCharactersColumn:
            return QString::fromStdString(FormatCharacterCount(record.m_characters));
        case kConfidenceColumn:
            return QString::fromStdString(FormatConfidence(record.m_confidence));
        default:
            return {};
    }
}

// The list showed its first column left-aligned whatever was asked of it, and a path reads
// better that way; the numbers line up on the right.
Qt::Alignment ColumnAlignment(int column) {
    return (column == kFileNameColumn ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter;
}

}  // namespace

PageStatsModel::PageStatsModel(QObject* parent)
    : QAbstractTableModel(parent), m_recordOfRow(g_pageStats.size()) {
    std::iota(m_recordOfRow.begin(), m_recordOfRow.end(), std::size_t{0});
}

int PageStatsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_recordOfRow.size());
}

int PageStatsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kPageStatsColumnCount;
}

QVariant PageStatsModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return {};
    }
    // Records are only ever appended, so an index taken when the window opened stays valid
    // while the work goes on behind it; a reference would not survive the vector growing.
    const std::size_t record = recordIndexAt(index.row());
    switch (role) {
        case Qt::DisplayRole:
            return CellText(g_pageStats[record], index.column());
        case Qt::ToolTipRole:
            // A path longer than its column is cut short on screen; the tooltip shows it whole.
            return index.column() == kFileNameColumn
                       ? CellText(g_pageStats[record], kFileNameColumn)
                       : QVariant();
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(ColumnAlignment(index.column()));
        case kRecordIndexRole:
            return QVariant::fromValue(static_cast<qulonglong>(record));
        default:
            return {};
    }
}

QVariant PageStatsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kPageStatsColumnCount) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole) {
        return QString::fromLatin1(kHeadings[static_cast<std::size_t>(section)]);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(ColumnAlignment(section));
    }
    return {};
}

void PageStatsModel::sort(int column, Qt::SortOrder) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<std::size_t> recordOfOldRow = m_recordOfRow;
    SortRecordIndexes(m_recordOfRow, column);

    // The rows are a permutation of the records 0..n-1, so the new row of a record is one
    // lookup away.
    std::vector<int> newRowOfRecord(m_recordOfRow.size());
    for (std::size_t row = 0; row < m_recordOfRow.size(); ++row) {
        newRowOfRecord[m_recordOfRow[row]] = static_cast<int>(row);
    }
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before) {
        const std::size_t record = recordOfOldRow[static_cast<std::size_t>(old.row())];
        after.append(index(newRowOfRecord[record], old.column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace quillrun::ui
