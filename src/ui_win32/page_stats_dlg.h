#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/page_stats_list.h"
#include "engine/page_stats.h"
#include "ui_win32/dialog_template_win32.h"

namespace quillrun::win32ui {

// The Recognition Statistics window, template 130: the pages of the run as a report list, one
// row per page, sorted by a clicked column. The rows, their texts and their order are
// app::PageStatsList's; the list control only shows them.
class CPageStatsDlg {
  public:
    CPageStatsDlg(HINSTANCE instance, const PageStatsTable& records);

    void DoModal(HWND owner);

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND window);
    bool OnNotify(const NMHDR& header);

    HINSTANCE m_instance;
    DialogTemplateMemory m_template;
    app::PageStatsList m_rows;
    HWND m_list = nullptr;
    std::wstring m_cellText;  // the text the list asked for last, read after the handler returns
};

}  // namespace quillrun::win32ui
