// From a drop on the zone to the page and the tree files on disk: a 100 KB "HTML Format" clip
// with five pictures found in the browser cache, dropped as a new child of a node; the HTML
// view's document completion then copies the pictures and saves the page. Beside it, one
// flushed 100 KB write on the same disk.
#include "app/collection/ClipCore.h"
#include "app/collection/EditorDropTargeting.h"
#include "app/collection/PageId.h"
#include "app/collection/PageSession.h"
#include "app/zone/ZoneController.h"
#include "bench/support/BenchFolder.h"
#include "platform/core/CfHtml.h"
#include "platform/core/IniFile.h"
#include "platform/core/SafeFile.h"
#include "tests/app/collection/FakePorts.h"
#include "tests/app/zone/FakeZone.h"
#include "tests/support/FakeLauncher.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <map>

namespace {

namespace fs = std::filesystem;
using namespace ql;
using namespace ql::test;

using ql::bench::Folder;

constexpr int kPictures = 5;
constexpr std::size_t kClipBytes = 100 * 1024;

// The clip's fragment: paragraphs of text up to 100 KB with the five pictures among them.
std::string ClipFragment()
{
    std::string html;
    int picture = 0;
    while (html.size() < kClipBytes) {
        html += "<p style=\"color: rgb(0, 0, 0);\">A paragraph of the captured article, long enough to be ordinary "
                "reading matter with <b>some</b> markup and a <a href=\"/next.html\">link</a>.</p>\n";
        if (picture < kPictures && html.size() > (picture + 1) * kClipBytes / (kPictures + 1))
            html += "<img src=\"http://127.0.0.1:8799/img/p" + std::to_string(picture++) + ".png\">\n";
    }
    return html;
}

struct Collection {
    Folder folder;
    TSettings settings;
    std::string clipSourceUrl;
    std::unique_ptr<IniFile> images;
    CollectionTree tree;
    FakeViews views;
    FakeWindow window;
    FakeEditorDialogs dialogs;
    FixedClock clock;
    std::map<std::string, std::string> cache;
    std::unique_ptr<PageSession> session;
    std::unique_ptr<ClipCore> clips;
    FakeZoneWindow zoneWindow;
    FakeActionTimer timer;
    FakeLauncher launcher;
    std::unique_ptr<ZoneController> zone;

    Collection()
    {
        settings.CollectionDir = folder.path() + "Collection/";
        settings.ImagesDir = settings.CollectionDir + "!images/";
        settings.DragCreateNew = settings.DragUseHtml = settings.DragUseUnicode = settings.DragIncludeImage = true;
        fs::create_directories(settings.ImagesDir);
        for (int i = 0; i < kPictures; ++i) {
            const std::string file = folder.path() + "cache/p" + std::to_string(i) + ".png";
            fs::create_directories(folder.path() + "cache");
            if (!WriteFileAtomic(file, std::string(8 * 1024, static_cast<char>('a' + i))))
                throw std::runtime_error("the cached pictures could not be written");
            cache["http://127.0.0.1:8799/img/p" + std::to_string(i) + ".png"] = file;
        }
        images = std::make_unique<IniFile>(settings.CollectionDir + "images.ini");
        session = std::make_unique<PageSession>(CollectionContext{settings, clipSourceUrl, images.get()}, tree, views,
                                                window, dialogs, clock, [this](const std::string& url, std::uint64_t) {
                                                    auto it = cache.find(url);
                                                    return it == cache.end() ? std::string() : it->second;
                                                });
        clips = std::make_unique<ClipCore>(*session, views, window, dialogs);
        views.session = session.get();
        window.session = session.get();
        TreeNode* top = tree.AddNode(nullptr, Attach::LastChild, "Articles");
        tree.SetPageId(top, "Articles");
        if (!SaveTextToFile("<html><body></body></html>", PageFileName(settings.CollectionDir, "Articles")))
            throw std::runtime_error("the first page could not be written");
        tree.SetLoaded(true);
        session->SaveTreeFiles(tree);

        ZoneControllerDeps deps{settings, zoneWindow, dialogs, launcher, timer};
        deps.editorFactory = [this](const ZoneCommandRunner&) { return std::make_unique<FakeZoneEditor>(*session, *clips, views); };
        zone = std::make_unique<ZoneController>(std::move(deps));
        zone->DragOver();  // copies the tree and opens the zone
        zone->DragOver();
    }
};

// range(0): 1 when the pictures are copied too (the HTML view's document completion).
void BM_DropToDurablePage(benchmark::State& state)
{
    const bool withPictures = state.range(0) != 0;
    Collection c;
    const std::string fragment = ClipFragment();
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
BENCHMARK(BM_DropToDurablePage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(50);

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
