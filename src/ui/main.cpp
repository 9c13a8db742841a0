#include <QApplication>
#include <QFileInfo>

#include "ui/quillrun_dlg.h"

namespace {

// The application: its life is the main dialog's.
class CQuillrunApp {
  public:
    CQuillrunApp(int& argc, char** argv) : m_application(argc, argv) {
        // Every message box is captioned with the name of the executable file, without its
        // extension, whatever the program was started as.
        QApplication::setApplicationName(
            QFileInfo(QApplication::applicationFilePath()).completeBaseName());
    }

    int InitInstance() {
        quillrun::ui::CQuillrunDlg dialog;
        dialog.DoModal();
        return 0;
    }

  private:
    QApplication m_application;
};

}  // namespace

int main(int argc, char** argv) {
    CQuillrunApp app(argc, argv);
    return app.InitInstance();
}
