#include "ui_win32/page_stats_dlg.h"

#include <commctrl.h>

#include "platform/win32/wide_text.h"
#include "resources/page_stats_dialog_template.h"

namespace quillrun::win32ui {

CPageStatsDlg::CPageStatsDlg(HINSTANCE instance, const PageStatsTable& records)
    : m_instance(instance), m_template(res::kPageStatsDialog), m_rows(records) {}

void CPageStatsDlg::DoModal(HWND owner) {
    ::DialogBoxIndirectParamW(m_instance, m_template.get(), owner, DialogProc,
                              reinterpret_cast<LPARAM>(this));
}

void CPageStatsDlg::OnInitDialog(HWND window) {
    m_list = ::GetDlgItem(window, kStatisticsList);
    ListView_SetExtendedListViewStyle(m_list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    // The columns were laid out for a font whose characters average 6 pixels across; four
    // horizontal dialog units are one average character of the dialog's font at this DPI.
    RECT character{0, 0, 4, 0};
    ::MapDialogRect(window, &character);
    for (int column = 0; column < app::kPageStatsColumnCount; ++column) {
        const app::PageStatsColumnLayout& layout =
            app::kPageStatsColumns[static_cast<std::size_t>(column)];
        std::wstring heading = platform::ToWide(layout.heading);
        LVCOLUMNW item{};
        item.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        item.fmt = layout.alignRight ? LVCFMT_RIGHT : LVCFMT_LEFT;
        item.cx = (layout.width * character.right + app::kLayoutFontAverageWidth / 2) /
                  app::kLayoutFontAverageWidth;
        item.pszText = heading.data();
        item.iSubItem = column;
        ListView_InsertColumn(m_list, column, &item);
    }
    // The cells' texts are asked for when they are shown, so a long run costs no more than its
    // rows.
    ListView_SetItemCount(m_list, static_cast<int>(m_rows.rowCount()));
    for (std::size_t row = 0; row < m_rows.rowCount(); ++row) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(row);
        item.pszText = LPSTR_TEXTCALLBACKW;
        ListView_InsertItem(m_list, &item);
    }
}

bool CPageStatsDlg::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != m_list) {
        return false;
    }
    switch (header.code) {
        case LVN_GETDISPINFOW: {
            auto& item = reinterpret_cast<NMLVDISPINFOW&>(const_cast<NMHDR&>(header)).item;
            if ((item.mask & LVIF_TEXT) != 0 && item.iItem >= 0 &&
                static_cast<std::size_t>(item.iItem) < m_rows.rowCount()) {
                m_cellText = platform::ToWide(
                    m_rows.CellText(static_cast<std::size_t>(item.iItem), item.iSubItem));
                item.pszText = m_cellText.data();
            }
            return true;
        }
        case LVN_COLUMNCLICK: {
            // Always ascending; the list has no descending order and marks no column.
            const auto& click = reinterpret_cast<const NMLISTVIEW&>(header);
            m_rows.SortByColumn(click.iSubItem);
            ListView_SetItemState(m_list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
            ::InvalidateRect(m_list, nullptr, TRUE);
            return true;
        }
        default:
            return false;
    }
}

INT_PTR CALLBACK CPageStatsDlg::DialogProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    auto* self = reinterpret_cast<CPageStatsDlg*>(::GetWindowLongPtrW(window, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG:
            ::SetWindowLongPtrW(window, DWLP_USER, lParam);
            reinterpret_cast<CPageStatsDlg*>(lParam)->OnInitDialog(window);
            return TRUE;
        case WM_NOTIFY:
            return self != nullptr && self->OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                ::EndDialog(window, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace quillrun::win32ui
