#pragma once

#include <QDialog>

#include "engine/page_stats.h"

class QPushButton;
class QTableView;

namespace quillrun::ui {

class PageStatsModel;

// The Recognition Statistics window: one row per page recognised since the program started,
// sorted ascending by a click on a column heading. It lists the records the run holds when it
// opens; pages harvested while it is open show at the next opening.
class CPageStatsDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CPageStatsDlg(const PageStatsTable& records, QWidget* parent = nullptr);
    ~CPageStatsDlg() override;

    QTableView* list() const { return m_list; }
    PageStatsModel* model() const { return m_model; }

  private:
    void OnInitDialog();
    void OnHeaderItemClick(int column);

    QTableView* m_list;
    PageStatsModel* m_model;
    QPushButton* m_okButton;
};

// Opens the window modally over owner and returns when the user has closed it. The main dialog's
// timer keeps running meanwhile, so the work goes on.
void ShowStatisticsWindow(QWidget* owner, const PageStatsTable& records);

}  // namespace quillrun::ui
