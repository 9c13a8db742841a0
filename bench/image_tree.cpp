#include "image_tree.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "bench_workspace.h"
#include "reference_walk.h"

namespace quillrun::bench {
namespace {

std::string Numbered(const char* format, int number) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, number);
    return buffer;
}

}  // namespace

ImageTree BuildFinishedTree(const std::string& root, int folders, int imagesPerFolder) {
    MakeFolder(root);
    ImageTree tree{root + "/src", root + "/out", folders, folders * imagesPerFolder, {}, {}};
    MakeFolder(tree.source);
    MakeFolder(tree.destination);
    int image = 0;
    for (int folder = 0; folder < folders; ++folder) {
        const std::string box = Numbered("/box-%04d", folder);
        MakeFolder(tree.source + box);
        MakeFolder(tree.destination + box);
        for (int i = 0; i < imagesPerFolder; ++i, ++image) {
            const std::string scan = box + Numbered("/scan-%06d", image);
            MakeEmptyFile(tree.source + scan + ".tif");
            MakeEmptyFile(tree.destination + scan + ".orx");
        }
    }
    return tree;
}

void LeaveLastImageNew(ImageTree& tree) {
    tree.newImage = LastImageInListingOrder(tree.source);
    if (tree.newImage.empty()) {
        FailSetup("no image in " + tree.source);
    }
    tree.newDocument = tree.destination + tree.newImage.substr(tree.source.size());
    tree.newDocument.replace(tree.newDocument.size() - 3, 3, "orx");
    if (::unlink(tree.newDocument.c_str()) != 0) {
        FailSetup("cannot remove " + tree.newDocument);
    }
    Backdate(tree.newImage, std::chrono::hours(1));
}

}  // namespace quillrun::bench
