#include "ui/shell/application_icon.h"

#include <QString>

// Resources compiled into a static library are registered only when asked for by name, and the
// request must come from the global namespace.
static void RegisterIconResources() {
    Q_INIT_RESOURCE(quillrun_icons);
}

namespace quillrun::ui {

QIcon ApplicationIcon() {
    static const bool registered = (RegisterIconResources(), true);
    static_cast<void>(registered);
    QIcon icon;
    for (const int size : {16, 32, 48, 256}) {
        icon.addFile(QStringLiteral(":/icons/quillrun-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

const char* ProgramVersion() {
    return QUILLRUN_VERSION;
}

}  // namespace quillrun::ui
