#include "window_platform.h"

#include <QApplication>
#include <QByteArray>

namespace quillrun::bench {

struct WindowPlatform::Impl {
    Impl(int& argc, char** argv) : application(argc, argv) {}
    QApplication application;
};

WindowPlatform::WindowPlatform(int& argc, char** argv) {
    // The windows are measured without a display; a platform chosen by the caller stands.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    }
    m_impl = std::make_unique<Impl>(argc, argv);
}

WindowPlatform::~WindowPlatform() = default;

bool WindowPlatform::WindowBuilt() {
    return true;
}

}  // namespace quillrun::bench
