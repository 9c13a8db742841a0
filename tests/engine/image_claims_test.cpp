// Claims on images: how a claim's holder is judged, how a chain of abandoned claims is taken
// over, the race of several takers, and the engine's part (the dialog passes claimed images over
// and claims its own).
#include <latch>
#include <thread>

#include "engine/claim_record.h"
#include "engine/engine_fixture.h"
#include "engine/image_claims.h"
#include "support/background_process.h"

namespace quillrun::test {
namespace {

using Clock = std::chrono::steady_clock;
constexpr ClaimTiming kTiming{std::chrono::seconds(30), std::chrono::minutes(10)};

platform::ProcessIdentity OtherMachine() {
    return {"scanner-2", "0123456789abcdef", "boot-of-scanner-2", "pid:[1]", 4711, 99};
}

std::string Slot(const std::string& document, int slot) {
    return ClaimSlotPath(document, slot);
}

void SetModificationTime(const std::string& path, long seconds) {
    ASSERT_TRUE(SetModifiedTime(path, std::chrono::system_clock::from_time_t(seconds)));
}

class ImageClaimsTest : public ::testing::Test {
  protected:
    ImageClaims claims{platform::ThisProcess(), kTiming, [this] { return now; }};
    TempTree tree;
    const std::string document = tree.path("page.orx");
    Clock::time_point now = Clock::now();
};

TEST_F(ImageClaimsTest, AHolderIsJudgedByWhatCanBeKnownOfIt) {
    const platform::ProcessIdentity self = platform::ThisProcess();
    platform::ProcessIdentity reusedPid = self;
    reusedPid.started += 1;
    platform::ProcessIdentity earlierBoot = self;
    earlierBoot.boot = "an-earlier-boot";
    platform::ProcessIdentity container = self;
    container.scope = "pid:[12345]";
    TempTree elsewhere;
    const std::string liveClaim = elsewhere.writeFile("live.clm", FormatClaimRecord(self));
    const struct {
        const char* holder;
        std::string text;
        bool refreshed;  // its file changes before the second look, as a live holder's does
        bool claimedAtFirst;
        bool claimedOnceTheTimeHasPassed;
        std::string linkTo = {};  // the slot is a link to this instead of a file
    } cases[] = {
        {"this process", FormatClaimRecord(self), false, true, true},
        {"an ended process", FormatClaimRecord(EndedProcess()), false, false, false},
        {"a newer process with its id", FormatClaimRecord(reusedPid), false, false, false},
        {"this machine before it restarted", FormatClaimRecord(earlierBoot), false, false, false},
        {"another machine", FormatClaimRecord(OtherMachine()), false, true, false},
        {"another machine, refreshed", FormatClaimRecord(OtherMachine()), true, true, true},
        {"a container beside this one", FormatClaimRecord(container), false, true, false},
        {"a claim being written", "Quillrun claim\nhost=", false, true, false},
        {"an empty file", "", false, true, false},
        // A slot that is not a claim file is judged by its age alone, and never followed.
        {"a link to nowhere", "", false, true, false, elsewhere.path("missing")},
        {"a link to a live claim", "", false, true, false, liveClaim},
    };
    for (const auto& c : cases) {
        TempTree folder;
        const std::string page = folder.path("page.orx");
        ImageClaims judge(self, kTiming, [this] { return now; });
        if (c.linkTo.empty()) {
            WriteFile(Slot(page, 1), c.text, false);
            SetModificationTime(Slot(page, 1), 1000);
        } else if (!MakeLink(c.linkTo, Slot(page, 1))) {
            continue;  // no links on this system
        }
        EXPECT_EQ(judge.IsClaimed(page), c.claimedAtFirst) << c.holder;
        now += kTiming.abandonedAfter;
        if (c.refreshed) {
            SetModificationTime(Slot(page, 1), 1030);
        }
        EXPECT_EQ(judge.IsClaimed(page), c.claimedOnceTheTimeHasPassed) << c.holder;
        // The job sees what the search saw: an abandoned claim is taken over with the next slot.
        ClaimResult result = judge.Claim(page);
        EXPECT_EQ(result.outcome, c.claimedOnceTheTimeHasPassed ? ClaimOutcome::HeldElsewhere
                                                                : ClaimOutcome::Claimed)
            << c.holder;
        if (result.claim) {
            EXPECT_EQ(result.claim->path(), Slot(page, 2)) << c.holder;
            result.claim.reset();
            EXPECT_FALSE(Exists(Slot(page, 1)) || Exists(Slot(page, 2))) << c.holder;
            EXPECT_FALSE(platform::GetFileStamp(Slot(page, 1))) << c.holder;
        }
    }
    EXPECT_EQ(ReadFile(liveClaim), FormatClaimRecord(self));
}

TEST_F(ImageClaimsTest, AChainIsTakenOverAboveItsTopAndRemovedWhole) {
    const std::string live = FormatClaimRecord(platform::ThisProcess());
    const std::string ended = FormatClaimRecord(EndedProcess());
    const struct {
        std::vector<std::pair<int, std::string>> slots;  // the claim files there beforehand
        const char* finished;                            // a file showing the image is done
        ClaimOutcome outcome;
        int heldSlot;
        std::vector<int> left;  // slots still there once the claim is released
    } cases[] = {
        {{}, nullptr, ClaimOutcome::Claimed, 1, {}},
        {{{1, live}}, nullptr, ClaimOutcome::HeldElsewhere, 0, {1}},
        {{{1, ended}}, nullptr, ClaimOutcome::Claimed, 2, {}},
        {{{1, ended}, {2, ended}}, nullptr, ClaimOutcome::Claimed, 3, {}},
        {{{1, ended}, {2, live}}, nullptr, ClaimOutcome::HeldElsewhere, 0, {1, 2}},
        // Slot 1 removed by hand under a claim: that claim still counts.
        {{{2, live}}, nullptr, ClaimOutcome::HeldElsewhere, 0, {2}},
        {{{2, ended}}, nullptr, ClaimOutcome::Claimed, 3, {}},
        // Finished by another instance between the search and the claim.
        {{}, "page.orx", ClaimOutcome::AlreadyDone, 0, {}},
        {{{1, ended}}, "page.bad", ClaimOutcome::AlreadyDone, 0, {}},
    };
    for (const auto& c : cases) {
        TempTree folder;
        const std::string page = folder.path("page.orx");
        for (const auto& [slot, text] : c.slots) {
            WriteFile(Slot(page, slot), text, false);
        }
        if (c.finished != nullptr) {
            WriteFile(folder.path(c.finished), "", false);
        }
        const std::string shown =
            std::to_string(c.slots.size()) + " slots, held " + std::to_string(c.heldSlot);
        EXPECT_EQ(claims.IsClaimed(page), c.outcome == ClaimOutcome::HeldElsewhere) << shown;
        ClaimResult result = claims.Claim(page);
        EXPECT_EQ(result.outcome, c.outcome) << shown;
        EXPECT_EQ(result.claim ? result.claim->path() : "",
                  c.heldSlot ? Slot(page, c.heldSlot) : "")
            << shown;
        result.claim.reset();
        std::vector<int> left;
        for (int slot = 1; slot <= 4; ++slot) {
            if (Exists(Slot(page, slot))) {
                left.push_back(slot);
            }
        }
        EXPECT_EQ(left, c.left) << shown;
    }
}

TEST_F(ImageClaimsTest, OfManyTakersOfOneAbandonedClaimExactlyOneGetsTheImage) {
    WriteFile(Slot(document, 1), FormatClaimRecord(EndedProcess()), false);
    constexpr int kTakers = 8;
    std::latch start(kTakers);
    std::vector<ClaimResult> results(kTakers);
    std::vector<std::thread> takers;
    for (int i = 0; i < kTakers; ++i) {
        takers.emplace_back([&, i] {
            ImageClaims own;  // as another instance on this machine would
            start.arrive_and_wait();
            results[i] = own.Claim(document);
        });
    }
    for (std::thread& taker : takers) {
        taker.join();
    }
    int claimed = 0;
    for (const ClaimResult& result : results) {
        claimed += result.outcome == ClaimOutcome::Claimed ? 1 : 0;
        EXPECT_NE(result.outcome, ClaimOutcome::Failed) << result.failure;
    }
    EXPECT_EQ(claimed, 1);
    results.clear();
    EXPECT_FALSE(Exists(Slot(document, 1)) || Exists(Slot(document, 2)));
}

TEST_F(ImageClaimsTest, AHolderThatWasJudgedGoneLearnsItHasBeenTakenOver) {
    ClaimResult mine = claims.Claim(document);
    ASSERT_EQ(mine.outcome, ClaimOutcome::Claimed);
    Clock::time_point otherNow = Clock::now();
    ImageClaims other(OtherMachine(), kTiming, [&] { return otherNow; });
    EXPECT_TRUE(other.IsClaimed(document));
    EXPECT_TRUE(mine.claim->KeepUp());
    // This holder stops refreshing (a machine frozen, or cut off from the share) for longer
    // than the other one waits.
    otherNow += kTiming.abandonedAfter;
    ClaimResult theirs = other.Claim(document);
    ASSERT_EQ(theirs.outcome, ClaimOutcome::Claimed);
    now += kTiming.refreshEvery;
    EXPECT_FALSE(mine.claim->KeepUp());
    mine.claim.reset();
    EXPECT_TRUE(Exists(Slot(document, 1)) && Exists(Slot(document, 2)));
    theirs.claim.reset();
    EXPECT_FALSE(Exists(Slot(document, 1)) || Exists(Slot(document, 2)));
}

// A job passes a claimed image over, and the image it converts carries its claim while the
// reading program works.
class ClaimsWatchingObserver : public RecordingObserver {
  public:
    platform::WaitVerdict ReaderRunning(const std::string& image,
                                        std::chrono::milliseconds elapsed) override {
        claimSeen = claimSeen || Exists(claim);
        WriteFile(flag, "", false);
        return RecordingObserver::ReaderRunning(image, elapsed);
    }
    std::string claim;
    std::string flag;
    bool claimSeen = false;
};

TEST_F(EngineTest, TheWorkPassesAClaimedImageOverAndClaimsItsOwn) {
    ClaimsWatchingObserver watcher;
    watcher.flag = tree.path("go");
    useTemplate("--wait-for=" + watcher.flag);
    tree.writeFile("in/a.tif");
    tree.writeFile("in/b.tif");
    // Whichever the listing gives first is being converted by another instance.
    const std::string taken = findNext()->document;
    WriteFile(Slot(taken, 1), FormatClaimRecord(OtherMachine()), false);
    const std::string free =
        taken == tree.path("out/a.orx") ? tree.path("out/b.orx") : tree.path("out/a.orx");
    watcher.claim = Slot(free, 1);

    const std::optional<Candidate> next = findNext();
    ASSERT_TRUE(next);
    EXPECT_EQ(next->document, free);
    EXPECT_EQ(ConversionJob(settings, *next, readerPath, claims, watcher).Run().outcome,
              JobOutcome::Converted);
    EXPECT_TRUE(Exists(free));
    EXPECT_TRUE(watcher.claimSeen);
    EXPECT_FALSE(Exists(Slot(free, 1)));
    EXPECT_FALSE(findNext());
    EXPECT_FALSE(Exists(taken));
}

// A claim from another machine frees its image by age alone, which no folder's stamp shows: the
// search, which passes over folders that have not changed, must look at that image again.
TEST_F(EngineTest, AnImageWhoseClaimWasAbandonedIsTakenThoughNoFolderChanged) {
    Clock::time_point claimsNow = Clock::now();
    ImageClaims agedClaims(platform::ThisProcess(), kTiming, [&] { return claimsNow; });
    ImageSearch agedSearch(source, destination, agedClaims);
    // Far enough ahead that every folder counts as settled.
    auto memoryNow = std::chrono::system_clock::now() + std::chrono::hours(1);
    agedSearch.memory().setClock([&] { return memoryNow; });
    const std::string image = tree.writeFile("in/page.tif");
    SetModificationTime(image, 1000);
    const std::string document = tree.path("out/page.orx");
    WriteFile(Slot(document, 1), FormatClaimRecord(OtherMachine()), false);

    EXPECT_FALSE(agedSearch.Next());
    memoryNow += std::chrono::seconds(5);
    EXPECT_FALSE(agedSearch.Next());
    memoryNow += std::chrono::seconds(5);
    claimsNow += kTiming.abandonedAfter;
    const std::optional<Candidate> found = agedSearch.Next();
    ASSERT_TRUE(found);
    EXPECT_EQ(found->image, image);
}

}  // namespace
}  // namespace quillrun::test
