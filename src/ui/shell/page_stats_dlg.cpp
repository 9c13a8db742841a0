#include "ui/shell/page_stats_dlg.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

#include "resources/page_stats_dialog_template.h"
#include "ui/shell/page_stats_model.h"
#include "ui/shell/template_geometry.h"

namespace quillrun::ui {
CPageStatsDlg::CPageStatsDlg(const PageStatsTable& records, QWidget* parent)
    : QDialog(parent),
      m_list(new QTableView(this)),
      m_model(new PageStatsModel(records, this)),
      m_okButton(new QPushButton(this)) {
    constexpr const res::DialogTemplate& source = res::kPageStatsDialog;
    const TemplateGeometry geometry(font());
    setObjectName(QStringLiteral("pageStatsDialog"));
    setWindowTitle(QString::fromLatin1(source.caption));
    setFixedSize(geometry.size(source.width, source.height));

    const res::TemplateControl& listControl = source.control(kStatisticsList);
    m_list->setObjectName(QString::fromLatin1(listControl.objectName));
    m_list->setGeometry(geometry.rect(listControl));

    const res::TemplateControl& okControl = source.control(kOkButton);
    m_okButton->setObjectName(QString::fromLatin1(okControl.objectName));
    m_okButton->setText(QString::fromLatin1(okControl.text));
    m_okButton->setGeometry(geometry.rect(okControl));
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);

    OnInitDialog();
}

CPageStatsDlg::~CPageStatsDlg() = default;

void CPageStatsDlg::OnInitDialog() {
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(false);
    m_list->setWordWrap(false);
    m_list->setTextElideMode(Qt::ElideLeft);  // the end of a long path names the document
    m_list->setTabKeyNavigation(false);
    m_list->setSortingEnabled(false);  // the view would mark the column and flip the order

    QHeaderView* rows = m_list->verticalHeader();
    rows->hide();
    // Fixed row heights keep opening and sorting a long run independent of the cell texts.
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 4);

    QHeaderView* headings = m_list->horizontalHeader();
    headings->setSectionsClickable(true);
    headings->setSortIndicatorShown(false);
    headings->setHighlightSections(false);
    headings->setStretchLastSection(false);
    // The list itself is sized in dialog units and grows with the desktop's font; the columns
    // grow with it, so they still fill the list and "Confidence Level" still fits its heading.
    const int averageWidth = TemplateGeometry(font()).averageCharWidth();
    for (int column = 0; column < app::kPageStatsColumnCount; ++column) {
        const int width = app::kPageStatsColumns[static_cast<std::size_t>(column)].width;
        headings->resizeSection(column, (width * averageWidth + app::kLayoutFontAverageWidth / 2) /
                                            app::kLayoutFontAverageWidth);
    }
    connect(headings, &QHeaderView::sectionClicked, this, &CPageStatsDlg::OnHeaderItemClick);

    setTabOrder(m_list, m_okButton);
    m_list->setFocus();
}

void CPageStatsDlg::OnHeaderItemClick(int column) {
    m_model->sort(column, Qt::AscendingOrder);
}

void ShowStatisticsWindow(QWidget* owner, const PageStatsTable& records) {
    CPageStatsDlg dialog(records, owner);
    dialog.exec();
}

}  // namespace quillrun::ui
