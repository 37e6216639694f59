// From a drop on the zone to the page and the tree files on disk: a 100 KB "HTML Format" clip
// with five pictures found in the browser cache, dropped as a new child of a node; the HTML
// view's document completion then copies the pictures and saves the page. The same drop into
// a collection whose "images.ini" already lists the pictures of 10,000 pages. Beside them, one
// flushed 100 KB write on the same disk.
#include "app/editor/session/EditorDropTargeting.h"
#include "bench/support/DropCollection.h"
#include "platform/core/CfHtml.h"
#include "platform/core/SafeFile.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using namespace ql;
using namespace ql::test;

using ql::bench::Folder;
using ql::bench::kClipBytes;
using ql::bench::kPictures;
using Collection = ql::bench::DropCollection;

constexpr int kBigCollectionPages = 10000;

void RunDrops(benchmark::State& state, Collection& c, bool withPictures)
{
    const std::string fragment = ql::bench::ClipFragment();
    const std::string cfHtml = BuildCfHtml(fragment, "http://127.0.0.1:8799/article.html");
    const StringList lines = SplitLines(cfHtml);
    for (auto _ : state) {
        c.zoneWindow.hit = ZoneTreeHit{c.zone->ZoneTree().NodeAt(0), true, kHitOnLabel, false};
        c.zone->DragOver();
        c.zone->DropHTML("http://127.0.0.1:8799/article.html", lines, "A captured article");
        if (withPictures)
            c.session->dtDocumentComplete();  // the HTML view has the new page
        state.PauseTiming();
        c.zone->DragOver();
        c.zone->DragOver();
        state.ResumeTiming();
    }
    const std::size_t copied = std::distance(fs::directory_iterator(c.settings.ImagesDir), fs::directory_iterator{});
    if ((withPictures && copied < kPictures) || !c.dialogs.messages.empty())
        state.SkipWithError("the pictures were not copied or a save failed");
    state.counters["pictures_copied"] = static_cast<double>(copied);
}

// range(0): 1 when the pictures are copied too (the HTML view's document completion).
void BM_DropToDurablePage(benchmark::State& state)
{
    Collection c;
    RunDrops(state, c, state.range(0) != 0);
}
BENCHMARK(BM_DropToDurablePage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(50);

// The drop with its pictures, into a collection that already keeps the pictures of 10,000
// pages: its cost should not follow the collection's size.
void BM_DropIntoBigCollection(benchmark::State& state)
{
    Collection c(ql::bench::CollectionSize{kBigCollectionPages, 0});
    RunDrops(state, c, true);
    if (c.ini->ReadSection("Clip from a web page(12-31-24)" + std::to_string(kBigCollectionPages - 1)).size() !=
        kPictures)
        state.SkipWithError("the collection's records were lost");
}
BENCHMARK(BM_DropIntoBigCollection)->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_FlushedWrite100KB(benchmark::State& state)
{
    Folder folder;
    const std::string bytes(kClipBytes, 'x');
    for (auto _ : state)
        if (!SaveTextToFile(bytes, folder.path() + "page.html"))
            state.SkipWithError("the write failed");
}
BENCHMARK(BM_FlushedWrite100KB)->Unit(benchmark::kMillisecond)->Iterations(50);

}  // namespace

BENCHMARK_MAIN();
