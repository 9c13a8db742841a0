#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "platform/file_system.h"
#include "support/temp_tree.h"

namespace quillrun::platform {

using Listing = std::vector<std::tuple<std::string, bool, bool>>;  // name, folder, link

// The entries of a folder with their folder and link flags, sorted: the listing's own order is
// the system's.
inline Listing Listed(const std::string& folder) {
    FolderListing listing(folder);
    Listing entries;
    FolderEntry entry;
    while (listing.next(entry)) {
        entries.emplace_back(entry.name, entry.isFolder, entry.isLink);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

}  // namespace quillrun::platform
