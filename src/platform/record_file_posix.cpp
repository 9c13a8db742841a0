#include "platform/record_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "platform/descriptor_io_posix.h"
#include "platform/system_error_posix.h"
#include "platform/unique_fd.h"

namespace quillrun::platform {
namespace {

// Other writers hold the lock for one small write; a reader with a shared lock for one read.
constexpr auto kLockPatience = std::chrono::seconds(2);

AppendResult Failure(AppendStatus status, int error) {
    return {status, SystemErrorFromErrno(error)};
}

}  // namespace

AppendResult AppendRecords(const std::string& path, std::string_view header,
                           std::string_view records) {
    UniqueFd fd(::open(path.c_str(),
                       O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0644));
    if (!fd) {
        return Failure(AppendStatus::NotOpened, errno);
    }
    if (!LockExclusively(fd.get(), kLockPatience)) {
        return Failure(AppendStatus::NotOpened, errno);
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) {
        return Failure(AppendStatus::NotOpened, errno);
    }
    std::string piece;
    if (status.st_size == 0) {
        piece.assign(header);
    }
    piece.append(records);
    if (const int error = WriteAll(fd.get(), piece); error != 0) {
        return Failure(AppendStatus::WriteFailed, error);
    }
    if (!fd.close()) {
        return Failure(AppendStatus::WriteFailed, errno);
    }
    return {AppendStatus::Appended, {}};
}

}  // namespace quillrun::platform
