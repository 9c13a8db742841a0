#pragma once

#include <windows.h>

namespace quillrun::platform {

// This process's one request to stop, whichever way it came: Ctrl+C, Ctrl+Break or the close of
// its console, or a stop of the Service Control Manager. A manual-reset event made at its first
// use: once set it stays set, so that every later wait sees the stop at once. Null when the
// system could not make it.
HANDLE StopRequestEvent();

void RequestStop();

}  // namespace quillrun::platform
