#pragma once

#include <cstddef>
#include <vector>

#include <QAbstractTableModel>

namespace quillrun::ui {

// The rows of the Recognition Statistics list: the records that g_pageStats holds when the model
// is made, each row naming its record by index. Cell texts are formatted when the view asks for
// them, so a long run costs no more than one index per page.
class PageStatsModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // The record index of a row, as a qulonglong.
    static constexpr int kRecordIndexRole = Qt::UserRole;

    explicit PageStatsModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Always ascending, whatever order is asked for: the list knows no descending order. The
    // selection follows the records.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    std::size_t recordIndexAt(int row) const {
        return m_recordOfRow[static_cast<std::size_t>(row)];
    }

  private:
    std::vector<std::size_t> m_recordOfRow;
};

}  // namespace quillrun::ui
