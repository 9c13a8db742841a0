#include "ui/shell/page_stats_dlg.h"

#include <array>

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

#include "resources/page_stats_dialog_template.h"
#include "ui/shell/page_stats_compare.h"
#include "ui/shell/page_stats_model.h"
#include "ui/shell/template_geometry.h"

namespace quillrun::ui {
namespace {

// In pixels of the 8-point dialog font the list was laid out for, whose characters average 6
// pixels across. The list itself is sized in dialog units and grows with the desktop's font; the
// columns grow with it, so they still fill the list and "Confidence Level" still fits its heading.
constexpr std::array<int, kPageStatsColumnCount> kColumnWidths{300, 100, 100, 100};
constexpr int kLayoutFontAverageWidth = 6;

}  // namespace

CPageStatsDlg::CPageStatsDlg(QWidget* parent)
    : QDialog(parent),
      m_list(new QTableView(this)),
      m_model(new PageStatsModel(this)),
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
    const int averageWidth = TemplateGeometry(font()).averageCharWidth();
    for (int column = 0; column < kPageStatsColumnCount; ++column) {
        const int width = kColumnWidths[static_cast<std::size_t>(column)];
        headings->resizeSection(
            column, (width * averageWidth + kLayoutFontAverageWidth / 2) / kLayoutFontAverageWidth);
    }
    connect(headings, &QHeaderView::sectionClicked, this, &CPageStatsDlg::OnHeaderItemClick);

    setTabOrder(m_list, m_okButton);
    m_list->setFocus();
}

void CPageStatsDlg::OnHeaderItemClick(int column) {
    m_model->sort(column, Qt::AscendingOrder);
}

void ShowStatisticsWindow(QWidget* owner) {
    CPageStatsDlg dialog(owner);
    dialog.exec();
}

}  // namespace quillrun::ui
