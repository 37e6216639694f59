#pragma once
// A collection on disk with an editor session and the drop zone's controller over it, as the
// drop benchmarks use it: the browser cache holds the five pictures of the clip that
// ClipFragment() gives.
#include "app/collection/PageId.h"
#include "app/zone/ZoneController.h"
#include "bench/support/BenchFolder.h"
#include "bench/support/BigTree.h"
#include "platform/core/SafeFile.h"
#include "tests/app/editor/session/FakeSession.h"
#include "tests/app/zone/FakeZone.h"
#include "tests/support/FakeLauncher.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace ql::bench {

using namespace ql::test;

// How big the collection is beyond its one node "Articles": pages listed in "images.ini", and
// further nodes in the tree.
struct CollectionSize {
    int imagesIniPages = 0;
    int moreNodes = 0;
};

inline constexpr int kPictures = 5;
inline constexpr std::size_t kClipBytes = 100 * 1024;

// "images.ini" of a collection of `pages` pages with five pictures each.
inline std::string BigImagesIni(int pages)
{
    std::string text;
    for (int i = 0; i < pages; ++i) {
        text += "[Clip from a web page(12-31-24)" + std::to_string(i) + "]\r\n";
        for (int p = 0; p < kPictures; ++p)
            text += "photo" + std::to_string(i) + "_" + std::to_string(p) + ".jpg=1\r\n";
    }
    return text;
}

// The clip's fragment: paragraphs of text up to 100 KB with the five pictures among them.
inline std::string ClipFragment()
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

// The zone's window as the benchmarks drive it: what the zone's form does with the node the
// controller highlights (makes its item, focuses it, scrolls to it) runs when the controller
// asks, while that node still exists.
struct BenchZoneWindow : FakeZoneWindow {
    std::function<void(TreeNode*)> showHighlight;
    void SetZoneDropHighlight(TreeNode* node) override
    {
        FakeZoneWindow::SetZoneDropHighlight(node);
        if (showHighlight)
            showHighlight(node);
    }
};

struct DropCollection : FakeSession {
    Folder folder;
    BenchZoneWindow zoneWindow;
    FakeActionTimer timer;
    FakeLauncher launcher;
    std::unique_ptr<ZoneController> zone;

    explicit DropCollection(CollectionSize size = {})
    {
        settings.CollectionDir = folder.path() + "Collection/";
        settings.ImagesDir = settings.CollectionDir + "!images/";
        settings.DragCreateNew = settings.DragUseHtml = settings.DragUseUnicode = settings.DragIncludeImage = true;
        namespace fs = std::filesystem;
        fs::create_directories(settings.ImagesDir);
        for (int i = 0; i < kPictures; ++i) {
            const std::string file = folder.path() + "cache/p" + std::to_string(i) + ".png";
            fs::create_directories(folder.path() + "cache");
            if (!WriteFileAtomic(file, std::string(8 * 1024, static_cast<char>('a' + i))))
                throw std::runtime_error("the cached pictures could not be written");
            cache["http://127.0.0.1:8799/img/p" + std::to_string(i) + ".png"] = file;
        }
        if (size.imagesIniPages > 0 &&
            !WriteFileAtomic(settings.CollectionDir + "images.ini", BigImagesIni(size.imagesIniPages)))
            throw std::runtime_error("images.ini could not be written");
        OpenSession();
        TreeNode* top = tree.AddNode(nullptr, Attach::LastChild, "Articles");
        tree.SetPageId(top, "Articles");
        if (!SaveTextToFile("<html><body></body></html>", PageFileName(settings.CollectionDir, "Articles")))
            throw std::runtime_error("the first page could not be written");
        BuildBigTree(tree, size.moreNodes);
        tree.SetLoaded(true);
        session->SaveTreeFiles(tree);

        ZoneControllerDeps deps{settings, zoneWindow, dialogs, launcher, timer};
        deps.editorFactory = [this](const ZoneCommandRunner&) {
            return std::make_unique<FakeZoneEditor>(*session, *clips, views);
        };
        zone = std::make_unique<ZoneController>(std::move(deps));
        zone->DragOver();  // copies the tree and opens the zone
        zone->DragOver();
    }
};

}  // namespace ql::bench
