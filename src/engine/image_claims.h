#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/exclusive_file.h"
#include "platform/this_process.h"

namespace quillrun {

// Several Quillruns may work on one destination hierarchy, on one machine or on several that
// share it over the network. Before a job runs, it claims its image with a file beside the
// document, created exclusively; every search passes claimed images over.
//
// A claim lives in slot 1, "page.clm" beside "page.orx". A claim whose holder has gone is taken
// over by creating the next slot ("page.c02", then "page.c03", up to "page.c99"), again
// exclusively, so of any number of instances that find the same abandoned claim exactly one gets
// the image: the one whose create succeeds. Whoever holds the highest slot holds the image; when
// its job ends it removes its slot and every slot below it.
//
// A holder is judged gone when the claim names a process of this machine's current boot that no
// longer runs (its id taken by a newer process counts as gone), or when this machine has been
// restarted since. A claim from another machine cannot be checked that way: it is gone once its
// file has not been refreshed for ClaimTiming::abandonedAfter, measured by this process's own
// clock from the moment it first saw the file in that state, so no two clocks are compared.

struct ClaimTiming {
    // A held claim's modification time is renewed this often while its job runs.
    std::chrono::milliseconds refreshEvery{std::chrono::seconds(30)};
    // A claim that cannot be checked with the system is abandoned after going this long without.
    std::chrono::milliseconds abandonedAfter{std::chrono::minutes(10)};
};

inline constexpr int kClaimSlots = 99;

// The file of claim slot 1 to 99 for a document: "page.clm", "page.c02", ..., "page.c99". The
// name is as long as the document's, so a claim can be made wherever the document can.
std::string ClaimSlotPath(const std::string& document, int slot);

class ImageClaims;

// A claim this process holds on one image. Destroying it removes its files, unless another
// instance has taken it over meanwhile (that instance removes them).
class ImageClaim {
  public:
    ImageClaim(ImageClaim&& other) noexcept;
    ImageClaim& operator=(ImageClaim&& other) noexcept;
    ImageClaim(const ImageClaim&) = delete;
    ImageClaim& operator=(const ImageClaim&) = delete;
    ~ImageClaim();

    // Called every so often while the job runs: renews the claim when that is due, and checks it
    // is still this process's. False once another instance has taken it over.
    bool KeepUp();
    bool lost() const { return m_lost; }
    const std::string& path() const { return m_held.path; }

  private:
    friend class ImageClaims;
    struct Slot {
        int number = 0;
        std::string path;
        platform::FileStamp stamp;
        bool ours = false;  // created by this claim, as opposed to an abandoned one passed over
    };
    ImageClaim(ImageClaims& owner, std::string document, Slot held, std::vector<Slot> below);
    void Release();

    ImageClaims* m_owner;
    std::string m_document;
    Slot m_held;
    std::vector<Slot> m_below;  // in rising order; removed after the held slot
    std::chrono::steady_clock::time_point m_nextRefresh;
    bool m_lost = false;
};

enum class ClaimOutcome {
    Claimed,        // the image is this job's
    HeldElsewhere,  // another job holds it, here or on another machine
    AlreadyDone,    // its document or failure marker appeared since the search chose it
    Failed          // the claim could not be written; failure says why
};

// What the search learns of an image's claim.
struct ClaimCheck {
    bool held = false;  // a job, of this program or another one, holds it
    // Held by a live process of this machine that is not a Quillrun (its id reused by some other
    // program, or a claim file written by hand): it stays held, but somebody should know.
    bool heldByOtherProgram = false;
    std::uint64_t holderPid = 0;
    std::string holderName;
    std::string slot;  // the claim file that holds it
};

struct ClaimResult {
    ClaimOutcome outcome = ClaimOutcome::Failed;
    std::optional<ImageClaim> claim;
    std::string failure;
};

// The claims of one program: shared by all its engines, used from any thread.
class ImageClaims {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    explicit ImageClaims(platform::ProcessIdentity self = platform::ThisProcess(),
                         ClaimTiming timing = {}, Clock clock = &std::chrono::steady_clock::now);

    // The search's question: is the image whose document this is taken by a job, of this
    // program or another one, whose holder is still there? A slot that is not a regular file, or
    // cannot be read, is judged as a claim of another machine is: by how long it stays unchanged.
    ClaimCheck Check(const std::string& document);
    bool IsClaimed(const std::string& document) { return Check(document).held; }

    // For a program that hands the search's choice to a job on another thread: until Release,
    // the document counts as claimed, before the job has written its claim. False when it is
    // reserved already.
    bool Reserve(const std::string& document);
    void Release(const std::string& document);

    // The job's step before the reading program starts: takes the image, or says why not.
    ClaimResult Claim(const std::string& document);

    // How many images Claim has taken from holders judged gone, since these claims were made.
    std::uint64_t claimsTakenOver() const { return m_takenOver.load(); }

  private:
    friend class ImageClaim;
    enum class Verdict { Live, Abandoned };
    using Slot = ImageClaim::Slot;

    Verdict Judge(const std::string& path, const platform::FileStamp& stamp,
                  std::optional<platform::ProcessIdentity>* holder = nullptr);
    std::chrono::steady_clock::duration UnchangedFor(const std::string& path,
                                                     const platform::FileStamp& stamp);
    ClaimResult Finish(const std::string& document, Slot held, std::vector<Slot> below);

    const platform::ProcessIdentity m_self;
    const std::string m_record;
    const ClaimTiming m_timing;
    const Clock m_clock;

    std::mutex m_mutex;  // guards what follows
    std::set<std::string> m_reserved;
    // Claims this process cannot check with the system: the stamp each was last seen with, and
    // since when it has been seen unchanged.
    struct Sighting {
        platform::FileStamp stamp;
        std::chrono::steady_clock::time_point since;
        std::chrono::steady_clock::time_point lastLooked;
    };
    std::map<std::string, Sighting> m_sightings;
    std::chrono::steady_clock::time_point m_lastPrune;
    std::atomic<std::uint64_t> m_takenOver{0};
};

}  // namespace quillrun
