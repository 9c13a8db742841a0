#include "platform/file_reader.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace quillrun::platform {

struct FileReader::Impl {
    UniqueHandle file;
};

FileReader::FileReader(const std::string& path) : m_impl(std::make_unique<Impl>()) {
    // Opens on Windows never wait. Shared for reading only: a file that another program still
    // has open for writing is not opened, so nothing half-written is read. Only a file on a disk
    // counts; a pipe, a console or a device (NUL, COM1) does not.
    UniqueHandle file(::CreateFileW(
        ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (file && ::GetFileType(file.get()) == FILE_TYPE_DISK &&
        ::GetFileInformationByHandle(file.get(), &information) &&
        (information.dwFileAttributes &
         (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0) {
        m_impl->file = std::move(file);
    }
}

FileReader::~FileReader() = default;

bool FileReader::isOpen() const {
    return m_impl->file.valid();
}

std::optional<std::size_t> FileReader::read(char* buffer, std::size_t size) {
    if (!m_impl->file) {
        return std::nullopt;
    }
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(size, 0x10000000));
    DWORD got = 0;
    if (!::ReadFile(m_impl->file.get(), buffer, chunk, &got, nullptr)) {
        return std::nullopt;
    }
    return got;
}

bool FileReader::close() {
    return m_impl->file.valid() && ::CloseHandle(m_impl->file.release());
}

}  // namespace quillrun::platform
