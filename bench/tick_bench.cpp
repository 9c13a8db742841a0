// Figures 1, 2 and 8: the cost of a tick of the work cycle over a large, mostly finished
// hierarchy, against the bare walk that a search without memory must at least do. Figures 1 and
// 2 measure the plain search, which remembers nothing from one tick to the next; figure 8 the
// search as it runs, which skips the folders that have not changed.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <map>
#include <thread>

#include "bench_host.h"
#include "bench_workspace.h"
#include "engine/quillrun_engine.h"
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

void AimAt(QuillrunEngine& engine, const ImageTree& tree, Memory memory) {
    engine.settings().sourcePath = tree.source;
    engine.settings().destPath = tree.destination;
    engine.GetSearchMemory().setEnabled(memory == Memory::Remembering);
}

bool FoundNothing(const QuillrunEngine& engine, const BenchHost& host) {
    return engine.pendingOutput().empty() && host.status() == kStatusWaiting;
}

void PlainIdleTickOn(benchmark::State& state, const ImageTree& tree) {
    BenchHost host;
    QuillrunEngine engine(host);
    AimAt(engine, tree, Memory::Plain);
    for (auto _ : state) {
        engine.RunWorkCycle();
    }
    if (!FoundNothing(engine, host)) {
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
    BenchHost host;
    QuillrunEngine engine(host);
    AimAt(engine, tree, Memory::Plain);
    bool accepted = false;
    for (auto _ : state) {
        engine.ReleasePendingOutput();
        accepted = engine.FindNextImage(engine.settings().sourcePath);
    }
    if (!accepted || engine.currentImage() != tree.newImage ||
        engine.pendingOutput() != tree.newDocument) {
        state.SkipWithError("the search did not accept the new image at the end of the walk");
    }
}

// An idle tick of the search as it runs, after a first tick has walked the tree: nothing has
// changed, so every folder is passed over without being listed.
void RememberedIdleTick(benchmark::State& state) {
    const ImageTree& tree = WideTree();
    BenchHost host;
    QuillrunEngine engine(host);
    AimAt(engine, tree, Memory::Remembering);
    engine.RunWorkCycle();
    const std::uint64_t passedBefore = engine.GetSearchMemory().foldersPassedOver();
    for (auto _ : state) {
        engine.RunWorkCycle();
    }
    const std::uint64_t passed = engine.GetSearchMemory().foldersPassedOver() - passedBefore;
    if (!FoundNothing(engine, host)) {
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
    BenchHost host;
    QuillrunEngine engine(host);
    AimAt(engine, tree, Memory::Remembering);
    engine.RunWorkCycle();
    bool acceptedEach = true;
    for (auto _ : state) {
        state.PauseTiming();
        MakeEmptyFile(image);
        Backdate(image, std::chrono::hours(1));
        engine.ReleasePendingOutput();
        state.ResumeTiming();
        acceptedEach = engine.FindNextImage(engine.settings().sourcePath) && acceptedEach;
        state.PauseTiming();
        ::unlink(image.c_str());
        state.ResumeTiming();
    }
    if (!acceptedEach || engine.currentImage() != image) {
        state.SkipWithError("the tick did not accept the image that arrived");
    }
}

// The first tick of the search as it runs, which trusts nothing and remembers every folder; the
// safety-net walk every few minutes costs the same.
void RememberingFullWalk(benchmark::State& state) {
    const ImageTree& tree = WideTree();
    BenchHost host;
    for (auto _ : state) {
        QuillrunEngine engine(host);
        AimAt(engine, tree, Memory::Remembering);
        engine.RunWorkCycle();
    }
    if (host.status() != kStatusWaiting) {
        state.SkipWithError("the full walk found work in a finished tree");
    }
}

// What the search keeps per folder, from the allocator's count of bytes in use before and after
// the first walk over 2,000 folders of 100 images.
void SearchMemoryPerFolder(benchmark::State& state) {
    const ImageTree& tree = FinishedTree(200'000);
    double bytesPerFolder = 0;
    for (auto _ : state) {
        BenchHost host;
        QuillrunEngine engine(host);
        AimAt(engine, tree, Memory::Remembering);
        host.SetStatusText(kStatusWaiting);
        const std::size_t before = ::mallinfo2().uordblks;
        engine.RunWorkCycle();
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
