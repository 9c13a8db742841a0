#pragma once

#include <functional>
#include <optional>
#include <set>
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
    std::string
        destinationRoot;  // the hierarchy the document lies in, without a trailing separator
};

// Decides which image is converted next, and nothing else: walks the source hierarchy
// depth-first in listing order and hands out the first ".tif" or ".pdf" file that has neither a
// document nor a failure marker at its mirrored place, that no job holds a claim on, and that is
// ready to be read. What it saw of unchanged folders it remembers from one search to the next.
class ImageSearch {
  public:
    // One activity-log line, without its time stamp.
    using Log = std::function<void(const std::string&)>;

    // The roots are fixed for the search's life, each without trailing separators (a root of the
    // file system keeps its own). log hears what the search has to say, if anybody is to.
    ImageSearch(std::string sourceRoot, std::string destinationRoot, ImageClaims& claims,
                Log log = {});

    // Asked between entries; true ends the walk early, finding nothing.
    using GiveUp = std::function<bool()>;
    std::optional<Candidate> Next(const GiveUp& giveUp = {});

    // How many images are waiting for a job, those still arriving included: a walk that takes
    // none of them and leaves the memory as true as a search does. Nothing when giveUp ended it
    // early.
    std::optional<std::size_t> CountWaiting(const GiveUp& giveUp = {});

    // The image whose document this is is not offered again for the rest of the run: its job
    // could neither convert it nor mark it as failed.
    void PassOver(const std::string& document) { m_passedOver.insert(document); }

    const std::string& sourceRoot() const { return m_sourceRoot; }
    const std::string& destinationRoot() const { return m_destinationRoot; }
    SearchMemory& memory() { return m_memory; }

  private:
    bool Walk(const std::string& folder);
    bool Test(const std::string& folder, const std::string& name);
    bool IsHeld(const std::string& image, const std::string& document);

    const std::string m_sourceRoot;
    const std::string m_destinationRoot;
    ImageClaims& m_claims;
    const Log m_log;
    SearchMemory m_memory;
    std::set<std::string> m_passedOver;    // documents
    std::set<std::string> m_heldReported;  // documents held by another program, said once
    // The folders on the walk's current descent, so that a link back to one of them is not
    // followed round and round.
    std::vector<platform::FolderIdentity> m_descent;
    const GiveUp* m_giveUp = nullptr;
    std::optional<Candidate> m_found;
    std::optional<std::size_t> m_counted;  // while CountWaiting walks
};

}  // namespace quillrun
