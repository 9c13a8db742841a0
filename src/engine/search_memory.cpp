#include "engine/search_memory.h"

#include <algorithm>
#include <iterator>
#include <new>
#include <tuple>

#include "platform/path_rules.h"

namespace quillrun {
namespace {

// Every change to a folder's entries moves both of its times. Keeping the later one is enough:
// a folder is remembered only once that time lies well in the past, so any later change brings a
// later time, whichever of the two the file system keeps well.
SearchMemory::Time Latest(const platform::FolderStamp& stamp) {
    return std::max(stamp.modified, stamp.changed);
}

bool Before(const platform::FolderIdentity& a, const platform::FolderIdentity& b) {
    return std::tie(a.volume, a.file) < std::tie(b.volume, b.file);
}

}  // namespace

void SearchMemory::setEnabled(bool enabled) {
    m_enabled = enabled;
    m_records = std::vector<Record>();
    m_lastFullWalk.reset();
}

void SearchMemory::setClock(Clock clock) {
    m_clock = std::move(clock);
}

void SearchMemory::lookAgainNextTick() {
    if (m_innermost != nullptr) {
        m_innermost->m_lookAgain = true;
    }
}

SearchMemory::Visit::Visit(SearchMemory& memory, const std::string& folder,
                           const std::string& sourceRoot, const std::string& destinationRoot)
    : m_memory(memory), m_outer(memory.m_innermost) {
    if (m_outer == nullptr) {
        memory.beginWalk(sourceRoot, destinationRoot);
    }
    m_mayRemember =
        memory.m_walk != Walk::Plain && folder.compare(0, sourceRoot.size(), sourceRoot) == 0;
    if (m_mayRemember) {
        lookUp(folder, sourceRoot, destinationRoot);
    }
    // Last, so that a constructor that throws leaves no visit behind that has gone.
    memory.m_innermost = this;
}

void SearchMemory::Visit::lookUp(const std::string& folder, const std::string& sourceRoot,
                                 const std::string& destinationRoot) {
    // Read before any twin is looked up, so that a change made while the folder is searched
    // shows as a newer stamp on the next tick.
    m_mirror = platform::GetFolderStamp(
        platform::FolderToOpen(platform::RebasePath(folder, sourceRoot, destinationRoot)));
    if (m_memory.m_walk != Walk::Trusting) {
        return;
    }
    const std::optional<platform::FolderStamp> here =
        platform::GetFolderStamp(platform::FolderToOpen(folder));
    const Record* record = here ? m_memory.find(here->identity) : nullptr;
    m_passOver = record != nullptr && record->onlyFiles && m_memory.holds(*record, *here, m_mirror);
    if (m_passOver) {
        ++m_memory.m_passedOver;
    }
}

SearchMemory::Visit::~Visit() {
    m_memory.m_innermost = m_outer;
    if (m_outer == nullptr) {
        m_memory.m_walkFinished = m_passOver || m_finished;
        m_memory.endWalk();
    }
}

void SearchMemory::Visit::listed(const platform::FolderStamp& stamp) {
    // The listing's own stamp, not the one read by path before: the folder may have been
    // replaced in between.
    m_listed = stamp;
    if (m_mayRemember && m_memory.m_walk == Walk::Trusting) {
        const Record* record = m_memory.find(stamp.identity);
        m_skipsFiles = record != nullptr && m_memory.holds(*record, stamp, m_mirror);
    }
    if (m_skipsFiles) {
        ++m_memory.m_passedOver;
    }
}

void SearchMemory::Visit::saw(const platform::FolderEntry& entry, bool hasImageName) {
    m_onlyFiles = m_onlyFiles && !entry.isFolder && !entry.isLink;
    // A link that leads to a folder today may lead to a file tomorrow, which would then be a
    // candidate; the folder holding the link would not show it.
    m_lookAgain = m_lookAgain || (entry.isLink && entry.isFolder && hasImageName);
}

void SearchMemory::Visit::finished() {
    m_finished = true;
    if (!m_mayRemember || m_skipsFiles || m_lookAgain || !m_listed ||
        !m_memory.isSettled(m_listed) || !m_memory.isSettled(m_mirror)) {
        return;
    }
    Record record;
    record.folder = m_listed->identity;
    record.folderTime = Latest(*m_listed);
    record.hasMirror = m_mirror.has_value();
    if (m_mirror) {
        record.mirror = m_mirror->identity;
        record.mirrorTime = Latest(*m_mirror);
    }
    record.onlyFiles = m_onlyFiles;
    m_memory.remember(record);
}

void SearchMemory::beginWalk(const std::string& sourceRoot, const std::string& destinationRoot) {
    m_walkStart = m_clock();
    m_walkFinished = false;
    if (!m_enabled) {
        m_walk = Walk::Plain;
        return;
    }
    if (sourceRoot != m_sourceRoot || destinationRoot != m_destinationRoot) {
        m_records = std::vector<Record>();
        m_sourceRoot = sourceRoot;
        m_destinationRoot = destinationRoot;
        m_lastFullWalk.reset();
    }
    // A clock set back counts as time passed.
    const bool due = !m_lastFullWalk || m_walkStart < *m_lastFullWalk ||
                     m_walkStart - *m_lastFullWalk >= kFullWalkInterval;
    m_walk = due ? Walk::Full : Walk::Trusting;
    if (due) {
        m_lastFullWalk = m_walkStart;
    }
}

void SearchMemory::endWalk() {
    const auto byFolder = [](const Record& a, const Record& b) {
        return Before(a.folder, b.folder);
    };
    try {
        // A folder reached twice in one walk (through a link) has two records; both are true,
        // so either may stay.
        std::sort(m_fresh.begin(), m_fresh.end(), byFolder);
        m_fresh.erase(
            std::unique(m_fresh.begin(), m_fresh.end(),
                        [](const Record& a, const Record& b) { return a.folder == b.folder; }),
            m_fresh.end());
        if (m_walk == Walk::Full && m_walkFinished) {
            // A full walk that reached the end has seen every folder there is: the records of
            // folders that are gone go with it.
            m_records = std::vector<Record>(m_fresh.begin(), m_fresh.end());
        } else if (!m_fresh.empty()) {
            std::vector<Record> merged;
            merged.reserve(m_records.size() + m_fresh.size());
            // On equal folders set_union takes the first range's element: the newer record.
            std::set_union(m_fresh.begin(), m_fresh.end(), m_records.begin(), m_records.end(),
                           std::back_inserter(merged), byFolder);
            m_records = std::move(merged);
        }
    } catch (const std::bad_alloc&) {
        // The memory only saves work: without room for it, walks test everything again.
        m_records = std::vector<Record>();
    }
    m_fresh = std::vector<Record>();  // not "= {}", which keeps the capacity
}

bool SearchMemory::isSettled(const std::optional<platform::FolderStamp>& stamp) const {
    return !stamp || Latest(*stamp) <= m_walkStart - kSettleTime;
}

SearchMemory::Record* SearchMemory::find(const platform::FolderIdentity& folder) {
    const auto found =
        std::lower_bound(m_records.begin(), m_records.end(), folder,
                         [](const Record& record, const platform::FolderIdentity& key) {
                             return Before(record.folder, key);
                         });
    return found != m_records.end() && found->folder == folder ? &*found : nullptr;
}

bool SearchMemory::holds(const Record& record, const platform::FolderStamp& folder,
                         const std::optional<platform::FolderStamp>& mirror) const {
    return record.folderTime == Latest(folder) && record.hasMirror == mirror.has_value() &&
           (!mirror || (record.mirror == mirror->identity && record.mirrorTime == Latest(*mirror)));
}

void SearchMemory::remember(const Record& record) {
    // A full walk gathers its records apart, so that those of folders it did not see can go.
    Record* known = m_walk == Walk::Trusting ? find(record.folder) : nullptr;
    if (known != nullptr) {
        *known = record;
    } else {
        m_fresh.push_back(record);
    }
}

}  // namespace quillrun
