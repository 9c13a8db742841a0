#pragma once

#include <string>

namespace quillrun::bench {

// A source hierarchy of folders full of images and its destination hierarchy, in which every
// image has its document unless named as the new one.
struct ImageTree {
    std::string source;
    std::string destination;
    int folders = 0;
    int images = 0;
    std::string newImage;  // the one image without a document; empty when all are finished
    std::string newDocument;
};

// root/src/box-NNNN/scan-NNNNNN.tif and root/out/box-NNNN/scan-NNNNNN.orx for every image.
ImageTree BuildFinishedTree(const std::string& root, int folders, int imagesPerFolder);

// Takes the document away from the image the walk reaches last and makes that image ready, so a
// search has to walk the whole tree before it accepts it.
void LeaveLastImageNew(ImageTree& tree);

}  // namespace quillrun::bench
