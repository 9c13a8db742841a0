#pragma once

#include <string>

namespace quillrun::bench {

struct WalkTally {
    long images = 0;
    long twinsFound = 0;
};

// The least any search of the source hierarchy must do: list every folder (opendir/readdir),
// and for each image look both of its twins up in the destination hierarchy (stat). Nothing is
// opened, nothing allocated once the path buffers have grown.
WalkTally BareWalk(const std::string& source, const std::string& destination);

// The image the engine's depth-first walk in listing order reaches last.
std::string LastImageInListingOrder(const std::string& source);

}  // namespace quillrun::bench
