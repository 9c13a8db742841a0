#include "engine/line_reader.h"

#include <cstring>

namespace quillrun {
namespace {

// Large enough that a statistics file of a few thousand pages takes one read.
constexpr std::size_t kChunkSize = 64 * 1024;

}  // namespace

bool LineReader::next(std::string_view& line) {
    std::size_t searched = m_begin;
    for (;;) {
        const char* data = m_buffer.data();
        const void* found = std::memchr(data + searched, '\n', m_end - searched);
        if (found != nullptr) {
            const auto end = static_cast<std::size_t>(static_cast<const char*>(found) - data);
            line = std::string_view(data + m_begin, end - m_begin);
            m_begin = end + 1;
            return true;
        }
        searched = m_end;
        const std::size_t kept = m_begin;
        if (!fill()) {
            if (m_begin == m_end) {
                return false;
            }
            line = std::string_view(m_buffer.data() + m_begin, m_end - m_begin);
            m_begin = m_end;
            return true;
        }
        searched -= kept - m_begin;  // fill() moved the unread part to the front
    }
}

bool LineReader::fill() {
    if (m_ended) {
        return false;
    }
    // Keep the unread part of a long line at the front, and make room behind it.
    if (m_begin > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_begin, m_end - m_begin);
        m_end -= m_begin;
        m_begin = 0;
    }
    if (m_buffer.size() - m_end < kChunkSize) {
        m_buffer.resize(m_end + kChunkSize);
    }
    const auto got = m_file.read(m_buffer.data() + m_end, m_buffer.size() - m_end);
    if (!got || *got == 0) {
        m_ended = true;
        return false;
    }
    m_end += *got;
    return true;
}

}  // namespace quillrun
