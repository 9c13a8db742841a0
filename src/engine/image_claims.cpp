#include "engine/image_claims.h"

#include <algorithm>
#include <utility>

#include "engine/claim_record.h"
#include "engine/destination_names.h"
#include "platform/file_reader.h"
#include "platform/file_system.h"

namespace quillrun {
namespace {

// A claim's text is a few hundred bytes; anything longer is not one.
constexpr std::size_t kLongestClaim = 4096;

// A slot seen taken and gone again a moment later belongs to a job that has just ended; the
// claim starts over, a few times at most.
constexpr int kClaimAttempts = 3;

// Through the platform layer, so that any path opens (Windows takes it as UTF-8) and a claim
// slot that is not a regular file is read as nothing rather than waited on.
std::string ReadClaimText(const std::string& path) {
    platform::FileReader file(path);
    std::string text(kLongestClaim, '\0');
    std::size_t filled = 0;
    while (filled < text.size()) {
        const std::optional<std::size_t> got =
            file.read(text.data() + filled, text.size() - filled);
        if (!got || *got == 0) {
            break;
        }
        filled += *got;
    }
    text.resize(filled);
    return text;
}

bool Exists(const std::string& path) {
    return platform::GetPathKind(path) != platform::PathKind::Missing;
}

// Anything at a slot's name takes it, a link to nowhere included.
bool SlotTaken(const std::string& path) {
    return platform::GetFileStamp(path).has_value();
}

// Quillrun's programs are "quillrun" and "quillrun-service" on every system.
bool IsQuillrunName(const std::string& name) {
    return name.rfind("quillrun", 0) == 0;
}

}  // namespace

std::string ClaimSlotPath(const std::string& document, int slot) {
    if (slot <= 1) {
        return ReplaceLastThree(document, "clm");
    }
    const char number[] = {'c', static_cast<char>('0' + slot / 10 % 10),
                           static_cast<char>('0' + slot % 10), '\0'};
    return ReplaceLastThree(document, number);
}

ImageClaim::ImageClaim(ImageClaims& owner, std::string document, Slot held, std::vector<Slot> below)
    : m_owner(&owner),
      m_document(std::move(document)),
      m_held(std::move(held)),
      m_below(std::move(below)),
      m_nextRefresh(owner.m_clock() + owner.m_timing.refreshEvery) {}

ImageClaim::ImageClaim(ImageClaim&& other) noexcept
    : m_owner(std::exchange(other.m_owner, nullptr)),
      m_document(std::move(other.m_document)),
      m_held(std::move(other.m_held)),
      m_below(std::move(other.m_below)),
      m_nextRefresh(other.m_nextRefresh),
      m_lost(other.m_lost) {}

ImageClaim& ImageClaim::operator=(ImageClaim&& other) noexcept {
    if (this != &other) {
        Release();
        m_owner = std::exchange(other.m_owner, nullptr);
        m_document = std::move(other.m_document);
        m_held = std::move(other.m_held);
        m_below = std::move(other.m_below);
        m_nextRefresh = other.m_nextRefresh;
        m_lost = other.m_lost;
    }
    return *this;
}

ImageClaim::~ImageClaim() {
    Release();
}

void ImageClaim::Release() {
    // Taken over: the files are the new holder's to remove, and removing ours would open a gap
    // below its slot.
    if (m_owner == nullptr || m_lost) {
        return;
    }
    m_owner = nullptr;
    platform::RemoveFileIfSame(m_held.path, m_held.stamp);
    for (auto slot = m_below.rbegin(); slot != m_below.rend(); ++slot) {
        platform::RemoveFileIfSame(slot->path, slot->stamp);
    }
}

bool ImageClaim::KeepUp() {
    if (m_lost) {
        return false;
    }
    const auto now = m_owner->m_clock();
    if (now < m_nextRefresh) {
        return true;
    }
    m_nextRefresh = now + m_owner->m_timing.refreshEvery;
    // Taken over means: our file is gone or replaced, or somebody has claimed the slot above.
    const std::optional<platform::FileStamp> current = platform::GetFileStamp(m_held.path);
    if (!current || !current->sameFile(m_held.stamp) ||
        (m_held.number < kClaimSlots && SlotTaken(ClaimSlotPath(m_document, m_held.number + 1)))) {
        m_lost = true;
        return false;
    }
    // A renewal that fails now (a network share hiccup) is tried again at the next one.
    platform::TouchFile(m_held.path);
    return true;
}

ImageClaims::ImageClaims(platform::ProcessIdentity self, ClaimTiming timing, Clock clock)
    : m_self(std::move(self)),
      m_record(FormatClaimRecord(m_self)),
      m_timing(timing),
      m_clock(std::move(clock)),
      m_lastPrune(m_clock()) {}

ClaimCheck ImageClaims::Check(const std::string& document) {
    ClaimCheck check;
    {
        const std::lock_guard lock(m_mutex);
        if (m_reserved.contains(document)) {
            check.held = true;
            return check;
        }
    }
    for (int slot = 1; slot <= kClaimSlots; ++slot) {
        std::string path = ClaimSlotPath(document, slot);
        const std::optional<platform::FileStamp> stamp = platform::GetFileStamp(path);
        if (!stamp) {
            // Slot 1 alone may be missing above a claim (removed by hand): Claim finds that
            // claim too, so the search must not offer the image as free.
            if (slot == 1) {
                continue;
            }
            return check;
        }
        std::optional<platform::ProcessIdentity> holder;
        if (Judge(path, *stamp, &holder) == Verdict::Live) {
            check.held = true;
            check.slot = std::move(path);
            // Judged by the system: a live process of this boot and scope.
            if (holder && holder->boot == m_self.boot && holder->scope == m_self.scope &&
                holder->pid != m_self.pid) {
                check.holderName = platform::ProcessName(holder->pid);
                check.heldByOtherProgram = !IsQuillrunName(check.holderName);
                check.holderPid = holder->pid;
            }
            return check;
        }
    }
    return check;
}

bool ImageClaims::Reserve(const std::string& document) {
    const std::lock_guard lock(m_mutex);
    return m_reserved.insert(document).second;
}

void ImageClaims::Release(const std::string& document) {
    const std::lock_guard lock(m_mutex);
    m_reserved.erase(document);
}

ClaimResult ImageClaims::Claim(const std::string& document) {
    for (int attempt = 0; attempt < kClaimAttempts; ++attempt) {
        std::vector<Slot> below;
        const auto giveUp = [&below](ClaimResult result) {
            for (auto slot = below.rbegin(); slot != below.rend(); ++slot) {
                if (slot->ours) {
                    platform::RemoveFileIfSame(slot->path, slot->stamp);
                }
            }
            return result;
        };
        bool vanished = false;
        for (int number = 1; number <= kClaimSlots && !vanished; ++number) {
            std::string path = ClaimSlotPath(document, number);
            const platform::ExclusiveCreateResult created =
                platform::CreateFileExclusively(path, m_record);
            switch (created.status) {
                case platform::ExclusiveCreateStatus::Created: {
                    Slot mine{number, std::move(path), created.stamp, true};
                    // A slot above ours means the slot we just made had been removed under a
                    // claim (by hand): that claim is judged next, as any other.
                    if (number == kClaimSlots || !SlotTaken(ClaimSlotPath(document, number + 1))) {
                        return Finish(document, std::move(mine), std::move(below));
                    }
                    below.push_back(std::move(mine));
                    break;
                }
                case platform::ExclusiveCreateStatus::AlreadyExists: {
                    const std::optional<platform::FileStamp> stamp = platform::GetFileStamp(path);
                    if (!stamp) {
                        vanished = true;
                        break;
                    }
                    if (Judge(path, *stamp) == Verdict::Live) {
                        return giveUp({ClaimOutcome::HeldElsewhere, std::nullopt, {}});
                    }
                    below.push_back({number, std::move(path), *stamp, false});
                    break;
                }
                case platform::ExclusiveCreateStatus::Failed:
                    return giveUp({ClaimOutcome::Failed, std::nullopt, created.error.message});
            }
        }
        giveUp({});
        if (!vanished) {
            return {ClaimOutcome::Failed, std::nullopt,
                    "all " + std::to_string(kClaimSlots) + " of its claim files are abandoned"};
        }
    }
    return {ClaimOutcome::HeldElsewhere, std::nullopt, {}};
}

// The claim is ours. Had another instance finished the image between this search and the
// claim, its document or marker would be there by now: it writes them before it removes its
// claim, and we created ours after that removal.
ClaimResult ImageClaims::Finish(const std::string& document, Slot held, std::vector<Slot> below) {
    ImageClaim claim(*this, document, std::move(held), std::move(below));
    if (Exists(document) || Exists(ReplaceLastThree(document, "bad"))) {
        return {ClaimOutcome::AlreadyDone, std::nullopt, {}};
    }
    if (std::any_of(claim.m_below.begin(), claim.m_below.end(),
                    [](const Slot& slot) { return !slot.ours; })) {
        ++m_takenOver;
    }
    return {ClaimOutcome::Claimed, std::move(claim), {}};
}

ImageClaims::Verdict ImageClaims::Judge(const std::string& path, const platform::FileStamp& stamp,
                                        std::optional<platform::ProcessIdentity>* judged) {
    const std::optional<platform::ProcessIdentity> holder = ParseClaimRecord(ReadClaimText(path));
    if (judged != nullptr) {
        *judged = holder;
    }
    if (holder && !m_self.boot.empty() && holder->boot == m_self.boot) {
        // The same running system: in the same process id space, the system knows.
        if (holder->scope == m_self.scope) {
            return platform::IsProcessRunning(holder->pid, holder->started) ? Verdict::Live
                                                                            : Verdict::Abandoned;
        }
    } else if (holder && !m_self.machine.empty() && holder->machine == m_self.machine &&
               holder->host == m_self.host) {
        // This machine, restarted since the claim was made: its holder has ended.
        return Verdict::Abandoned;
    }
    // Another machine, a container beside this one, or a claim still being written.
    return UnchangedFor(path, stamp) >= m_timing.abandonedAfter ? Verdict::Abandoned
                                                                : Verdict::Live;
}

std::chrono::steady_clock::duration ImageClaims::UnchangedFor(const std::string& path,
                                                              const platform::FileStamp& stamp) {
    const auto now = m_clock();
    const std::lock_guard lock(m_mutex);
    // Forget claims not looked at for a long while, so the memory does not grow without end.
    if (now - m_lastPrune > m_timing.abandonedAfter) {
        std::erase_if(m_sightings, [&](const auto& entry) {
            return now - entry.second.lastLooked > 4 * m_timing.abandonedAfter;
        });
        m_lastPrune = now;
    }
    auto [entry, isNew] = m_sightings.try_emplace(path, Sighting{stamp, now, now});
    Sighting& sighting = entry->second;
    if (!isNew && sighting.stamp != stamp) {
        sighting = {stamp, now, now};
    }
    sighting.lastLooked = now;
    return now - sighting.since;
}

}  // namespace quillrun
