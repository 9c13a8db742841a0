// Figures 1, 2 and 8: the cost of a tick of the work cycle over a large, mostly finished
// hierarchy, against the bare walk that a search without memory must at least do. A tick with no
// document to wait for is its search; handing it to the worker thread and back is not counted.
// Figures 1 and 2 measure the plain search, which remembers nothing from one tick to the next;
// figure 8 the search as it runs, which skips the folders that have not changed.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <map>
#include <thread>

#include "bench_workspace.h"
#include "engine/image_claims.h"
#include "engine/image_search.h"
#include "image_tree.h"
#include "reference_walk.h"

namespace quillrun::bench {
namespace {

constexpr int kImagesPerFolder = 100;
constexpr int kBusyTreeImages = 20'000;
constexpr int kWideTreeFolders = 200;
constexpr int kWideTreeImagesPerFolder = 1'000;

// A first walk fills the kernel's caches (the failed lookups of the markers included), so that
// every figure measures a warm tree, as a watcher that walks it every five seconds sees it.
// The search remembers no folder that changed within the last few seconds, so a tree is given
// that long to settle before it is measured, as a tree that a watcher sees idle would have.
void WarmUp(const ImageTree& tree) {
    std::this_thread::sleep_for(SearchMemory::kSettleTime + std::chrono::seconds(1));
    benchmark::DoNotOptimize(BareWalk(tree.source, tree.destination));
}

const ImageTree& FinishedTree(int images) {
    static std::map<int, ImageTree> trees;
    auto found = trees.find(images);
    if (found == trees.end()) {
        const std::string root = WorkspaceRoot() + "/finished-" + std::to_string(images);
        found = trees
                    .emplace(images,
                             BuildFinishedTree(root, images / kImagesPerFolder, kImagesPerFolder))
                    .first;
        WarmUp(found->second);
    }
    return found->second;
}

const ImageTree& BusyTree() {
    static const ImageTree tree = [] {
        ImageTree built = BuildFinishedTree(WorkspaceRoot() + "/busy",
                                            kBusyTreeImages / kImagesPerFolder, kImagesPerFolder);
        LeaveLastImageNew(built);
        WarmUp(built);
        return built;
    }();
    return tree;
}

// 200,000 images in 200 folders, as a hierarchy of years of scans in boxes might hold them.
const ImageTree& WideTree() {
    static const ImageTree tree = [] {
        ImageTree built = BuildFinishedTree(WorkspaceRoot() + "/wide", kWideTreeFolders,
                                            kWideTreeImagesPerFolder);
        WarmUp(built);
        return built;
    }();
    return tree;
}

enum class Memory { Plain, Remembering };

// The search of a tick over the tree, with the claims it honours.
struct TickSearch {
    TickSearch(const ImageTree& tree, Memory memory)
        : search(tree.source, tree.destination, claims) {
        search.memory().setEnabled(memory == Memory::Remembering);
    }
    ImageClaims claims;
    ImageSearch search;
};

void PlainIdleTickOn(benchmark::State& state, const ImageTree& tree) {
    TickSearch tick(tree, Memory::Plain);
    bool foundNothing = true;
    for (auto _ : state) {
        foundNothing = !tick.search.Next() && foundNothing;
    }
    if (!foundNothing) {
        state.SkipWithError("the idle tick found work in a finished tree");
    }
}

void PlainIdleTick(benchmark::State& state) {
    PlainIdleTickOn(state, FinishedTree(static_cast<int>(state.range(0))));
}

void WidePlainIdleTick(benchmark::State& state) {
    PlainIdleTickOn(state, WideTree());
}

void CheckedBareWalk(benchmark::State& state, const ImageTree& tree) {
    WalkTally tally;
    for (auto _ : state) {
        tally = BareWalk(tree.source, tree.destination);
        benchmark::DoNotOptimize(tally);
    }
    if (tally.images != tree.images || tally.twinsFound != tree.images) {
        state.SkipWithError("the bare walk did not see the tree it was given");
    }
}

void ReferenceWalk(benchmark::State& state) {
    CheckedBareWalk(state, FinishedTree(static_cast<int>(state.range(0))));
}

void WideReferenceWalk(benchmark::State& state) {
    CheckedBareWalk(state, WideTree());
}

// The search phase of a busy tick, after the previous document has been released: the whole
// tree is walked and its last image is opened and accepted. The conversion that would follow is
// figure 3's.
void PlainBusyTick(benchmark::State& state) {
    const ImageTree& tree = BusyTree();
    TickSearch tick(tree, Memory::Plain);
    std::optional<Candidate> accepted;
    for (auto _ : state) {
        accepted = tick.search.Next();
    }
    if (!accepted || accepted->image != tree.newImage || accepted->document != tree.newDocument) {
        state.SkipWithError("the search did not accept the new image at the end of the walk");
    }
}

// An idle tick of the search as it runs, after a first tick has walked the tree: nothing has
// changed, so every folder is passed over without being listed.
void RememberedIdleTick(benchmark::State& state) {
    const ImageTree& tree = WideTree();
    TickSearch tick(tree, Memory::Remembering);
    bool foundNothing = !tick.search.Next();
    const std::uint64_t passedBefore = tick.search.memory().foldersPassedOver();
    for (auto _ : state) {
        foundNothing = !tick.search.Next() && foundNothing;
    }
    const std::uint64_t passed = tick.search.memory().foldersPassedOver() - passedBefore;
    if (!foundNothing) {
        state.SkipWithError("the idle tick found work in a finished tree");
    } else if (passed < static_cast<std::uint64_t>(state.iterations()) * tree.folders) {
        state.SkipWithError("the idle tick did not pass over the unchanged folders");
    }
}

// The search phase of the tick after one new image has arrived in the folder that the walk
// reaches last: that folder is searched again, every other one passed over. Writing the image
// before and removing it after each tick is not measured.
void TickAfterNewImage(benchmark::State& state) {
    const ImageTree& tree = WideTree();
    const std::string last = LastImageInListingOrder(tree.source);
    const std::string image = last.substr(0, last.rfind('/')) + "/arrived.tif";
    TickSearch tick(tree, Memory::Remembering);
    tick.search.Next();
    bool acceptedEach = true;
    for (auto _ : state) {
        state.PauseTiming();
        MakeEmptyFile(image);
        Backdate(image, std::chrono::hours(1));
        state.ResumeTiming();
        const std::optional<Candidate> accepted = tick.search.Next();
        acceptedEach = accepted && accepted->image == image && acceptedEach;
        state.PauseTiming();
        ::unlink(image.c_str());
        state.ResumeTiming();
    }
    if (!acceptedEach) {
        state.SkipWithError("the tick did not accept the image that arrived");
    }
}

// The first tick of the search as it runs, which trusts nothing and remembers every folder; the
// safety-net walk every few minutes costs the same.
void RememberingFullWalk(benchmark::State& state) {
    const ImageTree& tree = WideTree();
    bool foundNothing = true;
    for (auto _ : state) {
        TickSearch tick(tree, Memory::Remembering);
        foundNothing = !tick.search.Next() && foundNothing;
    }
    if (!foundNothing) {
        state.SkipWithError("the full walk found work in a finished tree");
    }
}

// What the search keeps per folder, from the allocator's count of bytes in use before and after
// the first walk over 2,000 folders of 100 images.
void SearchMemoryPerFolder(benchmark::State& state) {
    const ImageTree& tree = FinishedTree(200'000);
    double bytesPerFolder = 0;
    for (auto _ : state) {
        TickSearch tick(tree, Memory::Remembering);
        const std::size_t before = ::mallinfo2().uordblks;
        tick.search.Next();
        const std::size_t after = ::mallinfo2().uordblks;
        bytesPerFolder = static_cast<double>(after - before) / (tree.folders + 1);
    }
    state.counters["bytes_per_folder"] = bytesPerFolder;
}

void TreeSizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->Arg(2'000)->Arg(20'000)->Arg(200'000);
    benchmark->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(0.3);
}

BENCHMARK(PlainIdleTick)->Apply(TreeSizes);
BENCHMARK(ReferenceWalk)->Apply(TreeSizes);
BENCHMARK(PlainBusyTick)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(0.3);
void WideTreeTimes(benchmark::internal::Benchmark* benchmark) {
    benchmark->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(0.3);
}

BENCHMARK(WideReferenceWalk)->Apply(WideTreeTimes);
BENCHMARK(WidePlainIdleTick)->Apply(WideTreeTimes);
BENCHMARK(RememberedIdleTick)->Apply(WideTreeTimes);
BENCHMARK(TickAfterNewImage)->Apply(WideTreeTimes);
BENCHMARK(RememberingFullWalk)->Apply(WideTreeTimes);
BENCHMARK(SearchMemoryPerFolder)->Iterations(1);

}  // namespace
}  // namespace quillrun::bench
