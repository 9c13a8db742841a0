#include "stored_image.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace orlavex {

namespace {

struct LeptonicaFree {
    void operator()(l_uint8* data) const { lept_free(data); }
};

bool WriteAll(int fd, const l_uint8* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

bool StoredImage::prepare(PageImage& page, std::string& error) {
    m_memoryFile.reset();
    m_fileName.clear();
    Pix* pix = page.pix.get();
    if (!page.originalFile.empty()) {
        m_fileName = page.originalFile;
        return true;
    }
    if (pixGetDepth(pix) == 1) {
        return true;
    }
    // An alpha channel would make the renderer decode the PNG again and store it without
    // predictors; pages carry none by now, but a stray fourth sample must not say otherwise.
    if (pixGetDepth(pix) == 32) {
        pixSetSpp(pix, 3);
    }
    l_uint8* bytes = nullptr;
    std::size_t size = 0;
    if (pixWriteMemPng(&bytes, &size, pix, 0.0F) != 0) {
        error = "cannot encode the page image";
        return false;
    }
    const std::unique_ptr<l_uint8, LeptonicaFree> png(bytes);
    m_memoryFile.reset(::memfd_create("orlavex-page", MFD_CLOEXEC));
    if (!m_memoryFile || !WriteAll(m_memoryFile.get(), png.get(), size)) {
        error = std::string("cannot keep the page image in memory: ") + std::strerror(errno);
        return false;
    }
    // The renderer opens the file by name; without /proc it would silently fall back to JPEG.
    m_fileName = "/proc/self/fd/" + std::to_string(m_memoryFile.get());
    if (::access(m_fileName.c_str(), R_OK) != 0) {
        error = "cannot keep the page image in memory: /proc is not available";
        return false;
    }
    return true;
}

}  // namespace orlavex
