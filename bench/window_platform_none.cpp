#include "window_platform.h"

namespace quillrun::bench {

struct WindowPlatform::Impl {};

WindowPlatform::WindowPlatform(int& /*argc*/, char** /*argv*/) {}

WindowPlatform::~WindowPlatform() = default;

bool WindowPlatform::WindowBuilt() {
    return false;
}

}  // namespace quillrun::bench
