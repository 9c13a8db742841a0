#include <algorithm>
#include <string_view>

#include "engine/destination_names.h"
#include "engine/quillrun_engine.h"
#include "platform/path_rules.h"

namespace quillrun {
namespace {

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

bool QuillrunEngine::FindNextImage(const std::string& dir) {
    SearchMemory::Visit visit(m_searchMemory, dir, m_settings.sourcePath, m_settings.destPath);
    if (visit.passOver()) {
        return false;
    }
    // A root trimmed by the work cycle still lists the top of the file system.
    platform::FolderListing listing(platform::FolderToOpen(dir));
    if (!listing.isOpen() ||
        std::find(m_descent.begin(), m_descent.end(), listing.identity()) != m_descent.end()) {
        return false;
    }
    const DescentStep step(m_descent, listing.identity());
    visit.listed(listing.stamp());
    platform::FolderEntry entry;
    while (listing.next(entry)) {
        visit.saw(entry, HasImageExtension(entry.name));
        if (entry.isFolder) {
            if (FindNextImage(platform::JoinPath(dir, entry.name))) {
                return true;
            }
        } else if (!visit.skipsFiles() && TestCandidate(dir, entry.name)) {
            return true;
        }
    }
    visit.finished();
    return false;
}

bool QuillrunEngine::TestCandidate(const std::string& dir, const std::string& name) {
    if (!HasImageExtension(name)) {
        return false;
    }
    // The twins are looked up before the image is opened: the accepted image is the same, and
    // finished images are then never opened on every tick, which leaves their readers alone.
    const std::string mirrored = platform::JoinPath(
        platform::RebasePath(dir, m_settings.sourcePath, m_settings.destPath), name);
    const std::string marker = ReplaceLastThree(mirrored, "bad");
    if (HasTwin(marker, m_searchMemory)) {
        return false;
    }
    std::string document = ReplaceLastThree(marker, "orx");
    if (HasTwin(document, m_searchMemory)) {
        return false;
    }
    std::string image = platform::JoinPath(dir, name);
    if (!IsFileReady(image)) {
        m_searchMemory.lookAgainNextTick();
        return false;
    }
    AcceptImage(std::move(image), std::move(document));
    return true;
}

void QuillrunEngine::AcceptImage(std::string image, std::string document) {
    m_currentImage = std::move(image);
    m_pendingOutput = std::move(document);
}

}  // namespace quillrun
