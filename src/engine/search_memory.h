#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace quillrun {

// What the search remembers from one tick to the next, so that an idle tick does not test again
// what cannot have changed. For a source folder it keeps one fact: while the folder and its
// mirrored destination folder carry the stamps recorded here, none of the folder's files is an
// image to take. A walk then passes over the folder's files, and when the folder holds nothing
// but files it does not even list it; subfolders are visited under their own records. The
// search's result is the same as without the memory: every fact holds for as long as its stamps
// do, because a file can only come, go or be renamed by changing its folder's stamp.
class SearchMemory {
  public:
    using Time = std::chrono::system_clock::time_point;
    using Clock = std::function<Time()>;

    // A folder changed this recently may change again without its time stamp moving (file
    // systems that keep times to the second or two, shares whose server rounds them).
    static constexpr std::chrono::seconds kSettleTime{3};
    // Now and then a walk trusts no record, in case a change went by that no stamp showed.
    static constexpr std::chrono::minutes kFullWalkInterval{5};

    // Off: every walk tests every file and nothing is kept.
    void setEnabled(bool enabled);
    void setClock(Clock clock);
    // How many folders walks have passed over since the memory was made.
    std::uint64_t foldersPassedOver() const { return m_passedOver; }

    // A file of the folder being listed may be taken on a later tick without the folder's stamps
    // moving: an image that was not ready, a twin found through a link.
    void lookAgainNextTick();

    // One folder of a walk, from before it is listed until its entries have been looked at. The
    // first visit begins a walk, and the walk ends with it.
    class Visit {
      public:
        Visit(SearchMemory& memory, const std::string& folder, const std::string& sourceRoot,
              const std::string& destinationRoot);
        ~Visit();
        Visit(const Visit&) = delete;
        Visit& operator=(const Visit&) = delete;

        // The folder holds only files, none to take, and is unchanged: it need not be listed.
        bool passOver() const { return m_passOver; }
        // The folder is being listed; stamp is the listing's own.
        void listed(const platform::FolderStamp& stamp);
        // None of the listed files is to be taken; only subfolders need a visit.
        bool skipsFiles() const { return m_skipsFiles; }
        // Each entry as the listing gives it; hasImageName as the search judges names.
        void saw(const platform::FolderEntry& entry, bool hasImageName);
        // Every entry has been looked at and nothing was taken.
        void finished();

      private:
        void lookUp(const std::string& folder, const std::string& sourceRoot,
                    const std::string& destinationRoot);

        SearchMemory& m_memory;
        Visit* m_outer;
        bool m_mayRemember = false;
        bool m_passOver = false;
        bool m_skipsFiles = false;
        bool m_onlyFiles = true;
        bool m_lookAgain = false;
        bool m_finished = false;
        std::optional<platform::FolderStamp> m_mirror;
        std::optional<platform::FolderStamp> m_listed;
        friend class SearchMemory;
    };

  private:
    // A few dozen bytes per folder, whatever it holds; no path is kept.
    struct Record {
        platform::FolderIdentity folder;
        Time folderTime;  // the later of the folder's two times
        platform::FolderIdentity mirror;
        Time mirrorTime;
        bool hasMirror = false;
        bool onlyFiles = false;  // neither subfolders nor links: no need to list it
    };
    enum class Walk { Plain, Full, Trusting };

    void beginWalk(const std::string& sourceRoot, const std::string& destinationRoot);
    void endWalk();
    bool isSettled(const std::optional<platform::FolderStamp>& stamp) const;
    Record* find(const platform::FolderIdentity& folder);
    // The record still holds: neither the folder nor its mirror has changed since.
    bool holds(const Record& record, const platform::FolderStamp& folder,
               const std::optional<platform::FolderStamp>& mirror) const;
    void remember(const Record& record);

    bool m_enabled = true;
    Clock m_clock = [] { return std::chrono::system_clock::now(); };
    std::string m_sourceRoot;
    std::string m_destinationRoot;
    std::optional<Time> m_lastFullWalk;
    Walk m_walk = Walk::Plain;
    Time m_walkStart;
    bool m_walkFinished = false;
    Visit* m_innermost = nullptr;
    std::vector<Record> m_records;  // sorted by folder
    std::vector<Record> m_fresh;    // recorded in this walk, not yet in m_records
    std::uint64_t m_passedOver = 0;
};

}  // namespace quillrun
