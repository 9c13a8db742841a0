#pragma once

#include "platform/system_error.h"

namespace quillrun::platform {

// The neutral form of a Win32 error code (GetLastError, a registry call's result), with the
// system's own words for it from FormatMessageW.
SystemError SystemErrorFromWin32(unsigned long code);

// The same for the calling thread's last error.
SystemError LastSystemError();

}  // namespace quillrun::platform
