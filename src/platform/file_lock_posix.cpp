#include "platform/file_lock.h"

#include <fcntl.h>

#include <cerrno>

#include "platform/descriptor_io_posix.h"
#include "platform/system_error_posix.h"
#include "platform/unique_fd.h"

namespace quillrun::platform {

struct FileLock::Impl {
    UniqueFd fd;  // closing it releases the lock
    SystemError error;
};

FileLock::FileLock(const std::string& path, std::chrono::milliseconds patience)
    : m_impl(std::make_unique<Impl>()) {
    UniqueFd fd(::open(path.c_str(),
                       O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK, 0600));
    if (fd && LockExclusively(fd.get(), patience)) {
        m_impl->fd = std::move(fd);
    } else {
        m_impl->error = SystemErrorFromErrno(errno);
    }
}

FileLock::~FileLock() = default;

bool FileLock::held() const {
    return m_impl->fd.valid();
}

const SystemError& FileLock::error() const {
    return m_impl->error;
}

}  // namespace quillrun::platform
