#include "reference_walk.h"

#include <dirent.h>
#include <sys/stat.h>

#include <strings.h>
#include <cstring>

namespace quillrun::bench {
namespace {

bool IsImageName(const char* name, std::size_t length) {
    if (length < 4) {
        return false;
    }
    const char* extension = name + length - 4;
    return ::strcasecmp(extension, ".tif") == 0 || ::strcasecmp(extension, ".pdf") == 0;
}

bool IsDotEntry(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

bool Exists(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

void WalkFolder(std::string& folder, std::string& mirror, WalkTally& tally) {
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr) {
        return;
    }
    const std::size_t folderLength = folder.size();
    const std::size_t mirrorLength = mirror.size();
    while (const dirent* entry = ::readdir(listing)) {
        const char* name = entry->d_name;
        if (entry->d_type == DT_DIR) {
            if (IsDotEntry(name)) {
                continue;
            }
            folder.append(1, '/').append(name);
            mirror.append(1, '/').append(name);
            WalkFolder(folder, mirror, tally);
            folder.resize(folderLength);
            mirror.resize(mirrorLength);
            continue;
        }
        const std::size_t length = std::strlen(name);
        if (!IsImageName(name, length)) {
            continue;
        }
        ++tally.images;
        mirror.append(1, '/').append(name, length);
        std::memcpy(&mirror[mirror.size() - 3], "bad", 3);
        tally.twinsFound += Exists(mirror) ? 1 : 0;
        std::memcpy(&mirror[mirror.size() - 3], "orx", 3);
        tally.twinsFound += Exists(mirror) ? 1 : 0;
        mirror.resize(mirrorLength);
    }
    ::closedir(listing);
}

void FindLastImage(const std::string& folder, std::string& last) {
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(listing)) {
        const char* name = entry->d_name;
        if (entry->d_type == DT_DIR) {
            if (!IsDotEntry(name)) {
                FindLastImage(folder + "/" + name, last);
            }
        } else if (IsImageName(name, std::strlen(name))) {
            last = folder + "/" + name;
        }
    }
    ::closedir(listing);
}

}  // namespace

WalkTally BareWalk(const std::string& source, const std::string& destination) {
    // Kept between calls so that, as in a long-running walker, the buffers have grown already.
    static thread_local std::string folder;
    static thread_local std::string mirror;
    folder.reserve(4096);
    mirror.reserve(4096);
    folder = source;
    mirror = destination;
    WalkTally tally;
    WalkFolder(folder, mirror, tally);
    return tally;
}

std::string LastImageInListingOrder(const std::string& source) {
    std::string last;
    FindLastImage(source, last);
    return last;
}

}  // namespace quillrun::bench
