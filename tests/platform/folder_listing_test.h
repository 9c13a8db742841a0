#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "support/temp_tree.h"

namespace quillrun::platform {

// The entries of a folder with their folder flags, sorted: the listing's own order is the
// system's.
inline std::vector<std::pair<std::string, bool>> Listed(const std::string& folder) {
    FolderListing listing(folder);
    std::vector<std::pair<std::string, bool>> entries;
    FolderEntry entry;
    while (listing.next(entry)) {
        entries.emplace_back(entry.name, entry.isFolder);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

}  // namespace quillrun::platform
