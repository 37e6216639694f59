// Tree files of a 10,000-node collection, a collection whose "tvdata" was lost (every node needs
// a fresh page id), and new page ids in a folder of 10,000 pages.
#include "app/collection/PageId.h"
#include "app/collection/TreeFiles.h"
#include "bench/support/BenchFolder.h"
#include "bench/support/BigTree.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

constexpr int kNodes = 10000;

using ql::bench::Folder;

void BuildTree(ql::CollectionTree& tree) { ql::bench::BuildBigTree(tree, kNodes); }

void BM_LoadTreeFiles(benchmark::State& state)
{
    Folder folder;
    ql::CollectionTree source;
    BuildTree(source);
    if (ql::SaveTreeFiles(folder.path(), source, ql::DefaultRandomSource()) != ql::TreeSave::Saved)
        state.SkipWithError("the tree files could not be written");
    for (auto _ : state) {
        ql::CollectionTree tree;
        auto report = ql::LoadTreeFiles(folder.path(), tree);
        if (report.result != ql::TreeLoad::Loaded || tree.Count() != static_cast<std::size_t>(kNodes))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(tree.Count());
    }
}
BENCHMARK(BM_LoadTreeFiles)->Unit(benchmark::kMillisecond);

// The first load after a save: the ".bak" copies are written (and flushed) too.
void BM_LoadTreeFilesWithBackup(benchmark::State& state)
{
    Folder folder;
    ql::CollectionTree source;
    BuildTree(source);
    if (ql::SaveTreeFiles(folder.path(), source, ql::DefaultRandomSource()) != ql::TreeSave::Saved)
        state.SkipWithError("the tree files could not be written");
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(folder.path() + "tvframe.bak");
        fs::remove(folder.path() + "tvdata.bak");
        state.ResumeTiming();
        ql::CollectionTree tree;
        if (!ql::LoadTreeFiles(folder.path(), tree).backedUp)
            state.SkipWithError("no backup");
    }
}
BENCHMARK(BM_LoadTreeFilesWithBackup)->Unit(benchmark::kMillisecond);

void BM_SaveTreeFiles(benchmark::State& state)
{
    Folder folder;
    ql::CollectionTree tree;
    BuildTree(tree);
    auto random = ql::DefaultRandomSource();
    for (auto _ : state) {
        if (ql::SaveTreeFiles(folder.path(), tree, random) != ql::TreeSave::Saved)
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveTreeFiles)->Unit(benchmark::kMillisecond);

// "tvdata" lost (left empty by a crash): every node of a large tree is given a fresh page id.
// Up to 100,000 the random numbers serve; beyond that the ids are counted on.
void BM_LoadTreeFilesWithoutIds(benchmark::State& state)
{
    const auto nodes = static_cast<std::size_t>(state.range(0));
    Folder folder;
    std::string frame;
    frame.reserve(nodes * 12);
    for (std::size_t i = 0; i < nodes; ++i)
        frame += (i % 10 == 0 ? "Topic " : "\tClip ") + std::to_string(i) + "\r\n";
    std::ofstream(folder.path() + ql::kTreeFrameFile, std::ios::binary) << frame;
    std::ofstream(folder.path() + ql::kTreeDataFile, std::ios::binary) << "";
    for (auto _ : state) {
        ql::CollectionTree tree;
        ql::LoadTreeFiles(folder.path(), tree);
        if (tree.Count() != nodes || !tree.NodeAt(nodes - 1)->HasPageId())
            state.SkipWithError("load failed");
    }
}
BENCHMARK(BM_LoadTreeFilesWithoutIds)->Arg(100000)->Arg(120000)->Unit(benchmark::kMillisecond)->Iterations(1);

// A folder of 10,000 page files and the tree that names them.
struct PageFolder {
    Folder folder;
    ql::CollectionTree tree;
    PageFolder(const std::string& collidingCaption, int numbered)
    {
        BuildTree(tree);
        tree.ForEach([&](ql::TreeNode& n) { std::ofstream(ql::PageFileName(folder.path(), n.PageId())) << "x"; });
        // A caption used over and over on one day: its dated, numbered pages exist.
        std::ofstream(ql::PageFileName(folder.path(), collidingCaption)) << "x";
        std::ofstream(ql::PageFileName(folder.path(), collidingCaption + "(12-31-24)")) << "x";
        for (int n = 2; n <= numbered; ++n)
            std::ofstream(ql::PageFileName(folder.path(), collidingCaption + "(12-31-24)" + std::to_string(n))) << "x";
    }
};

void BM_NewPageIdFree(benchmark::State& state)
{
    PageFolder pages("Daily news", 0);
    ql::TreeNode* node = pages.tree.AddNode(nullptr, ql::Attach::LastChild, "A caption nobody used before");
    for (auto _ : state)
        benchmark::DoNotOptimize(ql::MakeNodeFileName(*node, pages.folder.path(), "12/31/24"));
}
BENCHMARK(BM_NewPageIdFree)->Unit(benchmark::kMicrosecond);

void BM_NewPageIdNumbered(benchmark::State& state)
{
    const int numbered = static_cast<int>(state.range(0));
    PageFolder pages("Daily news", numbered);
    ql::TreeNode* node = pages.tree.AddNode(nullptr, ql::Attach::LastChild, "Daily news");
    for (auto _ : state) {
        std::string id = ql::MakeNodeFileName(*node, pages.folder.path(), "12/31/24");
        if (id != "Daily news(12-31-24)" + std::to_string(numbered + 1))
            state.SkipWithError("unexpected id");
        benchmark::DoNotOptimize(id);
    }
}
BENCHMARK(BM_NewPageIdNumbered)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
