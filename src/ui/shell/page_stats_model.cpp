#include "ui/shell/page_stats_model.h"

namespace quillrun::ui {
namespace {

using app::kPageStatsColumnCount;

Qt::Alignment ColumnAlignment(int column) {
    return (app::kPageStatsColumns[static_cast<std::size_t>(column)].alignRight ? Qt::AlignRight
                                                                                : Qt::AlignLeft) |
           Qt::AlignVCenter;
}

}  // namespace

PageStatsModel::PageStatsModel(const PageStatsTable& records, QObject* parent)
    : QAbstractTableModel(parent), m_rows(records) {}

int PageStatsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.rowCount());
}

int PageStatsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kPageStatsColumnCount;
}

QVariant PageStatsModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromLocal8Bit(m_rows.CellText(row, index.column()));
        case Qt::ToolTipRole:
            // A path longer than its column is cut short on screen; the tooltip shows it whole.
            return index.column() == app::kFileNameColumn
                       ? QString::fromLocal8Bit(m_rows.fileNameAt(row))
                       : QVariant();
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(ColumnAlignment(index.column()));
        case kRecordIndexRole:
            return QVariant::fromValue(static_cast<qulonglong>(m_rows.recordIndexAt(row)));
        default:
            return {};
    }
}

QVariant PageStatsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kPageStatsColumnCount) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole) {
        return QString::fromLatin1(
            app::kPageStatsColumns[static_cast<std::size_t>(section)].heading);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(ColumnAlignment(section));
    }
    return {};
}

void PageStatsModel::sort(int column, Qt::SortOrder) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<std::size_t> recordOfOldRow(m_rows.rowCount());
    for (std::size_t row = 0; row < recordOfOldRow.size(); ++row) {
        recordOfOldRow[row] = m_rows.recordIndexAt(row);
    }
    m_rows.SortByColumn(column);

    // The rows are a permutation of the records 0..n-1, so the new row of a record is one
    // lookup away.
    std::vector<int> newRowOfRecord(m_rows.rowCount());
    for (std::size_t row = 0; row < m_rows.rowCount(); ++row) {
        newRowOfRecord[m_rows.recordIndexAt(row)] = static_cast<int>(row);
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
