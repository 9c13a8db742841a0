#pragma once

#include <string>

namespace quillrun {

// The last three characters of path replaced by replacement ("page1.tif" -> "page1.orx").
std::string ReplaceLastThree(const std::string& path, const char* replacement);

// The document path up to its last dot, followed by ".dat".
std::string StatisticsPathFor(const std::string& documentPath);

// The document path up to, not including, its last separator.
std::string DestinationFolderOf(const std::string& documentPath);

}  // namespace quillrun
