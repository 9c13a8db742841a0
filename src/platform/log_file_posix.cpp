#include "platform/log_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "platform/descriptor_io_posix.h"
#include "platform/system_error_posix.h"
#include "platform/unique_fd.h"

namespace quillrun::platform {
namespace {

// Another instance holds the lock only for the time it takes to write one line.
constexpr auto kLockPatience = std::chrono::milliseconds(250);

AppendResult Failure(AppendStatus status, int error) {
    return {status, SystemErrorFromErrno(error)};
}

}  // namespace

AppendResult AppendToFile(const std::string& path, std::string_view bytes) {
    // Non-blocking open, so that a FIFO named as the log file cannot hang the work.
    UniqueFd fd(::open(path.c_str(),
                       O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666));
    if (!fd) {
        // EWOULDBLOCK: another process holds a lease on the file and is about to let it go.
        return Failure(errno == EWOULDBLOCK ? AppendStatus::Busy : AppendStatus::NotOpened, errno);
    }
    if (!LockExclusively(fd.get(), kLockPatience)) {
        return Failure(errno == EWOULDBLOCK ? AppendStatus::Busy : AppendStatus::NotOpened, errno);
    }
    if (const int error = WriteAll(fd.get(), bytes); error != 0) {
        return Failure(AppendStatus::WriteFailed, error);
    }
    if (!fd.close()) {
        return Failure(AppendStatus::WriteFailed, errno);
    }
    return {AppendStatus::Appended, {}};
}

}  // namespace quillrun::platform
