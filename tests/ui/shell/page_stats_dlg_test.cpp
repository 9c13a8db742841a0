#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QTest>

#include "app/page_stats_records.h"
#include "ui/shell/page_stats_dlg.h"
#include "ui/shell/page_stats_model.h"

namespace quillrun::ui {
namespace {

const std::vector<test::PageRecord> kTwoDocuments{
    {"/out/box2/scan.orx", 1, 1000, 96.447f}, {"/out/box2/scan.orx", 2, 999, 100.0f},
    {"/out/Box1/scan.orx", 1, 12345, 0.0f},   {"/out/box2/scan.orx", 3, 1000000, 96.442f},
    {"/out/Box1/scan.orx", 2, -7, 93.75f},
};

std::vector<QString> ColumnTexts(const QTableView& list, int column) {
    std::vector<QString> texts;
    for (int row = 0; row < list.model()->rowCount(); ++row) {
        texts.push_back(list.model()->index(row, column).data().toString());
    }
    return texts;
}

std::vector<qulonglong> RecordIndexes(const QTableView& list) {
    std::vector<qulonglong> indexes;
    for (int row = 0; row < list.model()->rowCount(); ++row) {
        indexes.push_back(
            list.model()->index(row, 0).data(PageStatsModel::kRecordIndexRole).toULongLong());
    }
    return indexes;
}

void ClickHeading(QTableView& list, int column) {
    QHeaderView* header = list.horizontalHeader();
    const QPoint middle(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, middle);
}

class PageStatsDlgTest : public ::testing::Test {
  protected:
    PageStatsDlgTest() : m_records(test::PageRecords(kTwoDocuments)), m_dialog(m_records) {
        m_dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&m_dialog));
    }

    QTableView& list() {
        return *m_dialog.findChild<QTableView*>(QStringLiteral("statisticsList"));
    }

    PageStatsTable m_records;
    CPageStatsDlg m_dialog;
};

TEST_F(PageStatsDlgTest, ListsEveryRecordInItsOrderWithTheColumnsOfTheList) {
    EXPECT_EQ(m_dialog.windowTitle(), QStringLiteral("Recognition Statistics"));
    QTableView& view = list();
    ASSERT_EQ(view.model()->rowCount(), 5);
    const std::vector<QString> headings{"File Name", "Page", "Characters", "Confidence Level"};
    ASSERT_EQ(view.model()->columnCount(), 4);
    QHeaderView* header = view.horizontalHeader();
    const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    int total = 0;
    for (int column = 0; column < 4; ++column) {
        const QString heading = headings[static_cast<std::size_t>(column)];
        EXPECT_EQ(view.model()->headerData(column, Qt::Horizontal).toString(), heading);
        EXPECT_LE(header->fontMetrics().horizontalAdvance(heading) + margins,
                  header->sectionSize(column))
            << heading.toStdString();
        total += header->sectionSize(column);
    }
    // 300, 100, 100 and 100 pixels of the font the list was laid out for, grown with the font.
    EXPECT_EQ(header->sectionSize(1), header->sectionSize(2));
    EXPECT_EQ(header->sectionSize(1), header->sectionSize(3));
    EXPECT_NEAR(header->sectionSize(0), 3 * header->sectionSize(1), 2);
    EXPECT_LE(total, view.viewport()->width());
    EXPECT_EQ(view.model()->index(0, 2).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                  Qt::AlignHorizontal_Mask,
              Qt::AlignRight);
    EXPECT_FALSE(view.horizontalHeader()->isSortIndicatorShown());
    EXPECT_TRUE(view.horizontalHeader()->sectionsClickable());
    EXPECT_EQ(view.selectionMode(), QAbstractItemView::ExtendedSelection);

    EXPECT_EQ(RecordIndexes(view), (std::vector<qulonglong>{0, 1, 2, 3, 4}));
    EXPECT_EQ(ColumnTexts(view, 1), (std::vector<QString>{"1", "2", "1", "3", "2"}));
    EXPECT_EQ(ColumnTexts(view, 2),
              (std::vector<QString>{"1,000", "999", "12,345", "1,000,000", "-7"}));
    EXPECT_EQ(ColumnTexts(view, 3),
              (std::vector<QString>{"96.45", "100.00", "0.00", "96.44", "93.75"}));

    auto* ok = m_dialog.findChild<QPushButton*>(QStringLiteral("okButton"));
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault());
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(m_dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(m_dialog.isVisible());
}

TEST_F(PageStatsDlgTest, AClickOnAHeadingSortsAscendingAndRowsKeepTheirRecords) {
    QTableView& view = list();
    struct Click {
        int column;
        std::vector<qulonglong> records;
    };
    const Click clicks[] = {
        // Pages of different documents interleave; equal pages keep their order.
        {1, {0, 2, 1, 4, 3}},
        {2, {4, 1, 0, 2, 3}},
        // 96.447 and 96.442 compare equal and keep the order the last sort gave them.
        {3, {2, 4, 0, 3, 1}},
        {3, {2, 4, 0, 3, 1}},
        // Upper-case "Box1" before "box2".
        {0, {2, 4, 0, 3, 1}},
    };
    for (const Click& click : clicks) {
        ClickHeading(view, click.column);
        EXPECT_EQ(RecordIndexes(view), click.records) << "column " << click.column;
    }
    EXPECT_EQ(ColumnTexts(view, 2),
              (std::vector<QString>{"12,345", "-7", "1,000", "1,000,000", "999"}));
    EXPECT_FALSE(view.horizontalHeader()->isSortIndicatorShown());
}

TEST_F(PageStatsDlgTest, SelectedPagesStaySelectedThroughASort) {
    QTableView& view = list();
    QItemSelectionModel* selection = view.selectionModel();
    selection->select(view.model()->index(1, 0),
                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection->select(view.model()->index(4, 0),
                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ClickHeading(view, 2);  // records 4 and 1 become the first two rows

    std::vector<qulonglong> selected;
    for (const QModelIndex& row : selection->selectedRows()) {
        selected.push_back(row.data(PageStatsModel::kRecordIndexRole).toULongLong());
    }
    std::sort(selected.begin(), selected.end());
    EXPECT_EQ(selected, (std::vector<qulonglong>{1, 4}));
    EXPECT_TRUE(selection->isRowSelected(0) && selection->isRowSelected(1));
}

TEST_F(PageStatsDlgTest, PagesHarvestedWhileOpenWaitForTheNextOpening) {
    m_records.AddDocument("/out/late.orx");
    m_records.AppendPage(PageStats{0, 1, 5, 0, 0, 0, 0, 100.0f});
    EXPECT_EQ(list().model()->rowCount(), 5);
    ClickHeading(list(), 0);
    EXPECT_EQ(list().model()->rowCount(), 5);

    CPageStatsDlg reopened(m_records);
    EXPECT_EQ(
        reopened.findChild<QTableView*>(QStringLiteral("statisticsList"))->model()->rowCount(), 6);
}

}  // namespace
}  // namespace quillrun::ui
