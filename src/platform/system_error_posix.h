#pragma once

#include "platform/system_error.h"

namespace quillrun::platform {

// The neutral form of an errno value, with the C library's text for it.
SystemError SystemErrorFromErrno(int error);

}  // namespace quillrun::platform
