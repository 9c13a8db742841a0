#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/search_memory.h"
#include "platform/file_system.h"

namespace quillrun {

class ImageClaims;

// An image the search has chosen, with the names of what its job is to produce.
struct Candidate {
    std::string image;     // the source image's full path
    std::string document;  // its document at the mirrored place in the destination hierarchy
    std::string marker;    // its failure marker beside the document
};

// Decides which image is converted next, and nothing else: walks the source hierarchy
// depth-first in listing order and hands out the first ".tif" or ".pdf" file that has neither a
// document nor a failure marker at its mirrored place, that no job holds a claim on, and that is
// ready to be read. What it saw of unchanged folders it remembers from one search to the next.
class ImageSearch {
  public:
    // The roots are fixed for the search's life, each without trailing separators (a root of the
    // file system keeps its own).
    ImageSearch(std::string sourceRoot, std::string destinationRoot, ImageClaims& claims);

    // Asked between entries; true ends the walk early, finding nothing.
    using GiveUp = std::function<bool()>;
    std::optional<Candidate> Next(const GiveUp& giveUp = {});

    const std::string& sourceRoot() const { return m_sourceRoot; }
    const std::string& destinationRoot() const { return m_destinationRoot; }
    SearchMemory& memory() { return m_memory; }

  private:
    bool Walk(const std::string& folder);
    bool Test(const std::string& folder, const std::string& name);

    const std::string m_sourceRoot;
    const std::string m_destinationRoot;
    ImageClaims& m_claims;
    SearchMemory m_memory;
    // The folders on the walk's current descent, so that a link back to one of them is not
    // followed round and round.
    std::vector<platform::FolderIdentity> m_descent;
    const GiveUp* m_giveUp = nullptr;
    std::optional<Candidate> m_found;
};

}  // namespace quillrun
