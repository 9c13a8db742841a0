#pragma once

namespace orlavex {

// Quillrun's Stop sends SIGTERM and, five seconds later, SIGKILL. The handler only records the
// request; the conversion looks at it between steps and from inside recognition, so that it can
// remove its temporary files before it ends.
void InstallCancellationHandlers();
bool CancellationRequested();

// Ends the process the way the pending signal would have, once the cleanup is done, so that the
// caller's wait sees the signal rather than an ordinary exit status.
[[noreturn]] void EndAsCancelled();

}  // namespace orlavex
