#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "ui_win32/quillrun_dlg.h"

namespace {

// The application: its life is the main dialog's. COM is there for the shell's folder picker;
// the common controls for the lists and tooltips.
class CQuillrunApp {
  public:
    explicit CQuillrunApp(HINSTANCE instance)
        : m_instance(instance),
          m_comReady(SUCCEEDED(
              ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
        INITCOMMONCONTROLSEX controls{
            sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
        ::InitCommonControlsEx(&controls);
    }
    ~CQuillrunApp() {
        if (m_comReady) {
            ::CoUninitialize();
        }
    }
    CQuillrunApp(const CQuillrunApp&) = delete;
    CQuillrunApp& operator=(const CQuillrunApp&) = delete;

    int InitInstance() {
        quillrun::win32ui::CQuillrunDlg dialog(m_instance);
        dialog.DoModal();
        return 0;
    }

  private:
    HINSTANCE m_instance;
    bool m_comReady;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
    CQuillrunApp app(instance);
    return app.InitInstance();
}
