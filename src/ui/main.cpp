#include <QApplication>
#include <QFileInfo>

#include "ui/quillrun_dlg.h"
#include "ui/shell/application_icon.h"

namespace {

// The application: its life is the main dialog's.
class CQuillrunApp {
  public:
    CQuillrunApp(int& argc, char** argv) : m_application(argc, argv) {
        // Every message box is captioned with the name of the executable file, without its
        // extension, whatever the program was started as.
        QApplication::setApplicationName(
            QFileInfo(QApplication::applicationFilePath()).completeBaseName());
        QApplication::setApplicationVersion(quillrun::ui::ProgramVersion());
        QApplication::setWindowIcon(quillrun::ui::ApplicationIcon());
        // Lets the desktop match the window to its menu entry and icon.
        QGuiApplication::setDesktopFileName(quillrun::ui::kDesktopFileId);
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
