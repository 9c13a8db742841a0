#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/file_reader.h"

namespace quillrun {

// The lines of a file, as std::getline gives them: each without its '\n' (a '\r' before it stays
// part of the line), the last one also without a line end, and no empty line after a final line
// end. Lines may be of any length. A read error ends the lines, as the end of the file does.
class LineReader {
  public:
    explicit LineReader(platform::FileReader& file) : m_file(file) {}

    // The next line, valid until the next call; false when there is none.
    bool next(std::string_view& line);

  private:
    // Reads more of the file behind what is left; false when nothing more came.
    bool fill();

    platform::FileReader& m_file;
    std::string m_buffer;
    std::size_t m_begin = 0;  // the unread part is [m_begin, m_end)
    std::size_t m_end = 0;
    bool m_ended = false;
};

}  // namespace quillrun
