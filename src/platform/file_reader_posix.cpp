#include "platform/file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/unique_fd.h"

namespace quillrun::platform {

struct FileReader::Impl {
    UniqueFd fd;
};

FileReader::FileReader(const std::string& path) : m_impl(std::make_unique<Impl>()) {
    // Without O_NONBLOCK, opening a FIFO waits for a writer, and opening a file under another
    // process's lease waits for the lease to be broken.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY));
    struct stat status {};
    if (fd && ::fstat(fd.get(), &status) == 0 && S_ISREG(status.st_mode)) {
        m_impl->fd = std::move(fd);
    }
}

FileReader::~FileReader() = default;

bool FileReader::isOpen() const {
    return m_impl->fd.valid();
}

std::optional<std::size_t> FileReader::read(char* buffer, std::size_t size) {
    if (!m_impl->fd) {
        return std::nullopt;
    }
    // A regular file never answers "try again", O_NONBLOCK or not.
    for (;;) {
        const ssize_t got = ::read(m_impl->fd.get(), buffer, size);
        if (got >= 0) {
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) {
            return std::nullopt;
        }
    }
}

bool FileReader::close() {
    return m_impl->fd.valid() && m_impl->fd.close();
}

}  // namespace quillrun::platform
