#pragma once

#include <string>
#include <vector>

namespace quillrun::bench {

// A source hierarchy of ready images (back-dated past the readiness test's quiet period).
struct ImageSet {
    std::string source;
    std::vector<std::string> relativeImages;  // "box-03/scan-0042.tif"
};
ImageSet MakeImageSet(const std::string& root, int images, int imagesPerFolder);

// How a timed run went: its wall time, or why it failed.
struct TimedRun {
    double seconds = 0;
    std::string problem;  // empty when the run did what it should
};

// The reference: the reading program run on every image, parallel at a time, as
// "xargs -P parallel" would, without a shell: a new one is started the moment one ends.
TimedRun RunReadersInParallel(const std::string& reader, const ImageSet& images,
                              const std::string& destination, unsigned parallel,
                              const std::vector<std::string>& readerOptions);

// quillrun-service with these arguments (its settings already saved), timed from its start
// until its standard output has said "... has been created." for every image; then it is
// stopped with SIGTERM and must end with status 0.
TimedRun RunServiceUntilConverted(const std::string& service,
                                  const std::vector<std::string>& arguments, int images);

// Every file below folder, relative to it.
std::vector<std::string> FilesBelow(const std::string& folder);

}  // namespace quillrun::bench
