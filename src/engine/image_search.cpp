#include "engine/image_search.h"

#include <algorithm>
#include <string_view>

#include "engine/destination_names.h"
#include "engine/image_claims.h"
#include "platform/file_readiness.h"
#include "platform/path_rules.h"

namespace quillrun {
namespace {

std::string WithoutTrailingSeparators(std::string root) {
    for (std::string before; before != root;) {
        before = root;
        platform::TrimTrailingSeparator(root);
    }
    return root;
}

bool EqualsIgnoringCase(std::string_view text, std::string_view lowerCase) {
    return std::equal(text.begin(), text.end(), lowerCase.begin(), lowerCase.end(),
                      [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a + 32 : a) == b; });
}

bool HasImageExtension(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        return false;
    }
    const std::string_view extension = std::string_view(name).substr(dot);
    return EqualsIgnoringCase(extension, ".tif") || EqualsIgnoringCase(extension, ".pdf");
}

class DescentStep {
  public:
    DescentStep(std::vector<platform::FolderIdentity>& descent, platform::FolderIdentity folder)
        : m_descent(descent) {
        m_descent.push_back(folder);
    }
    ~DescentStep() { m_descent.pop_back(); }
    DescentStep(const DescentStep&) = delete;
    DescentStep& operator=(const DescentStep&) = delete;

  private:
    std::vector<platform::FolderIdentity>& m_descent;
};

// A twin reached through a link may vanish with the link's target, which the folder holding the
// twin would not show.
bool HasTwin(const std::string& path, SearchMemory& memory) {
    const platform::PathLookup found = platform::LookUpPath(path);
    if (found.kind == platform::PathKind::Missing) {
        return false;
    }
    if (found.isLink) {
        memory.lookAgainNextTick();
    }
    return true;
}

}  // namespace

ImageSearch::ImageSearch(std::string sourceRoot, std::string destinationRoot, ImageClaims& claims,
                         Log log)
    : m_sourceRoot(WithoutTrailingSeparators(std::move(sourceRoot))),
      m_destinationRoot(WithoutTrailingSeparators(std::move(destinationRoot))),
      m_claims(claims),
      m_log(std::move(log)) {}

std::optional<Candidate> ImageSearch::Next(const GiveUp& giveUp) {
    m_giveUp = giveUp ? &giveUp : nullptr;
    m_found.reset();
    Walk(m_sourceRoot);
    m_giveUp = nullptr;
    return std::move(m_found);
}

std::optional<std::size_t> ImageSearch::CountWaiting(const GiveUp& giveUp) {
    m_giveUp = giveUp ? &giveUp : nullptr;
    m_counted = 0;
    const bool gaveUp = Walk(m_sourceRoot);
    m_giveUp = nullptr;
    const std::optional<std::size_t> counted = m_counted;
    m_counted.reset();
    return gaveUp ? std::nullopt : counted;
}

bool ImageSearch::Walk(const std::string& folder) {
    SearchMemory::Visit visit(m_memory, folder, m_sourceRoot, m_destinationRoot);
    if (visit.passOver()) {
        return false;
    }
    // A trimmed root still lists the top of the file system.
    platform::FolderListing listing(platform::FolderToOpen(folder));
    if (!listing.isOpen() ||
        std::find(m_descent.begin(), m_descent.end(), listing.identity()) != m_descent.end()) {
        return false;
    }
    const DescentStep step(m_descent, listing.identity());
    visit.listed(listing.stamp());
    platform::FolderEntry entry;
    while (listing.next(entry)) {
        if (m_giveUp != nullptr && (*m_giveUp)()) {
            // Left unfinished, the visit records nothing it has not seen through.
            return true;
        }
        visit.saw(entry, HasImageExtension(entry.name));
        if (entry.isFolder) {
            if (Walk(platform::JoinPath(folder, entry.name))) {
                return true;
            }
        } else if (!visit.skipsFiles() && Test(folder, entry.name)) {
            return true;
        }
    }
    visit.finished();
    return false;
}

bool ImageSearch::Test(const std::string& folder, const std::string& name) {
    if (!HasImageExtension(name)) {
        return false;
    }
    // The twins are looked up before the image is opened: the accepted image is the same, and
    // finished images are then never opened on every search, which leaves their readers alone.
    const std::string mirrored =
        platform::JoinPath(platform::RebasePath(folder, m_sourceRoot, m_destinationRoot), name);
    std::string marker = ReplaceLastThree(mirrored, "bad");
    if (HasTwin(marker, m_memory)) {
        return false;
    }
    std::string document = ReplaceLastThree(marker, "orx");
    if (HasTwin(document, m_memory) || m_passedOver.contains(document)) {
        return false;
    }
    std::string image = platform::JoinPath(folder, name);
    // An image that a job converts right now, in this program or another one, is left to it. A
    // claim whose holder died becomes free by age alone, which no folder's stamp shows.
    if (IsHeld(image, document)) {
        m_memory.lookAgainNextTick();
        return false;
    }
    // Counted, the image stays to be taken: its folder is not to be remembered as holding nothing.
    if (m_counted) {
        ++*m_counted;
        m_memory.lookAgainNextTick();
        return false;
    }
    if (!platform::IsFileReady(image)) {
        m_memory.lookAgainNextTick();
        return false;
    }
    m_found =
        Candidate{std::move(image), std::move(document), std::move(marker), m_destinationRoot};
    return true;
}

bool ImageSearch::IsHeld(const std::string& image, const std::string& document) {
    const ClaimCheck claim = m_claims.Check(document);
    if (claim.heldByOtherProgram && m_log && m_heldReported.insert(document).second) {
        m_log(image + " is claimed by process " + std::to_string(claim.holderPid) + " (" +
              (claim.holderName.empty() ? std::string("unknown") : claim.holderName) +
              "), which is not a Quillrun: it stays held until " + claim.slot + " is removed.");
    }
    return claim.held;
}

}  // namespace quillrun
