#pragma once

#include <cstddef>
#include <vector>

#include <QAbstractTableModel>

#include "app/page_stats_list.h"
#include "engine/page_stats.h"

namespace quillrun::ui {

// Shows the rows of the Recognition Statistics list (app::PageStatsList) to a Qt view.
class PageStatsModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // The record index of a row, as a qulonglong.
    static constexpr int kRecordIndexRole = Qt::UserRole;

    explicit PageStatsModel(const PageStatsTable& records, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Always ascending, whatever order is asked for: the list knows no descending order. The
    // selection follows the records.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    std::size_t recordIndexAt(int row) const {
        return m_rows.recordIndexAt(static_cast<std::size_t>(row));
    }

  private:
    app::PageStatsList m_rows;
};

}  // namespace quillrun::ui
