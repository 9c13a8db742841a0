// Figures 1 and 2: the cost of a tick of the work cycle over a large, mostly finished hierarchy,
// against the bare walk that any search must at least do.
#include <benchmark/benchmark.h>

#include <map>

#include "bench_host.h"
#include "bench_workspace.h"
#include "engine/quillrun_engine.h"
#include "image_tree.h"
#include "reference_walk.h"

namespace quillrun::bench {
namespace {

constexpr int kImagesPerFolder = 100;
constexpr int kBusyTreeImages = 20'000;

// A first walk fills the kernel's caches (the failed lookups of the markers included), so that
// every figure measures a warm tree, as a watcher that walks it every five seconds sees it.
void WarmUp(const ImageTree& tree) {
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

void AimAt(QuillrunEngine& engine, const ImageTree& tree) {
    engine.settings().sourcePath = tree.source;
    engine.settings().destPath = tree.destination;
}

void IdleTick(benchmark::State& state) {
    const ImageTree& tree = FinishedTree(static_cast<int>(state.range(0)));
    BenchHost host;
    QuillrunEngine engine(host);
    AimAt(engine, tree);
    for (auto _ : state) {
        engine.RunWorkCycle();
    }
    if (!engine.pendingOutput().empty() || host.status() != kStatusWaiting) {
        state.SkipWithError("the idle tick found work in a finished tree");
    }
}

void ReferenceWalk(benchmark::State& state) {
    const ImageTree& tree = FinishedTree(static_cast<int>(state.range(0)));
    WalkTally tally;
    for (auto _ : state) {
        tally = BareWalk(tree.source, tree.destination);
        benchmark::DoNotOptimize(tally);
    }
    if (tally.images != tree.images || tally.twinsFound != tree.images) {
        state.SkipWithError("the bare walk did not see the tree it was given");
    }
}

// The search phase of a busy tick, after the previous document has been released: the whole
// tree is walked and its last image is opened and accepted. The conversion that would follow is
// figure 3's.
void BusyTick(benchmark::State& state) {
    const ImageTree& tree = BusyTree();
    BenchHost host;
    QuillrunEngine engine(host);
    AimAt(engine, tree);
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

void TreeSizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->Arg(2'000)->Arg(20'000)->Arg(200'000);
    benchmark->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(0.3);
}

BENCHMARK(IdleTick)->Apply(TreeSizes);
BENCHMARK(ReferenceWalk)->Apply(TreeSizes);
BENCHMARK(BusyTick)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(0.3);

}  // namespace
}  // namespace quillrun::bench
