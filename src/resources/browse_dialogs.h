#pragma once

#include <array>
#include <span>
#include <string_view>

namespace quillrun::res {

// Titles of the folder choosers of the two Browse buttons of the hierarchies.
inline constexpr const char* kSourceBrowseTitle = "Choose the top level of the source hierarchy.";
inline constexpr const char* kDestinationBrowseTitle =
    "Choose the top level of the destination hierarchy.";

// One entry of a file chooser's list of file types. Each front end writes the patterns the way
// its chooser reads them, and its own wildcard for an entry without extensions.
struct FileTypeFilter {
    const char* name;
    std::span<const std::string_view> extensions;  // empty: every file
};

namespace log_file_filter {
inline constexpr std::array<std::string_view, 2> kTextExtensions{"log", "txt"};
}  // namespace log_file_filter

// The file types the log file chooser offers, the first one chosen at first.
inline constexpr std::array kLogFileFilters{
    FileTypeFilter{"Text Files", log_file_filter::kTextExtensions},
    FileTypeFilter{"All Files", {}},
};

}  // namespace quillrun::res
