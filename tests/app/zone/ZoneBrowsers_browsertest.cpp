// The program's main road with the real peers: Debian's Chromium and Firefox ESR load a page
// with non-ASCII text and two pictures from a web server on 127.0.0.1, which then stops; the
// page's selection is dragged with the XTest pointer onto the drop zone of the real program
// under the window manager, down into the tree it opens into, rests on a node until that
// opens, and is dropped on its child. The page must be that child, with its text intact and
// both pictures copied byte for byte from the browser's cache. Then the same after a restart,
// with the zone at the place it saved and never moved by hand. Each browser runs under the
// suite's window manager and again on a bare display of the test's own, narrower, where no
// window is framed or placed.
#include "tests/support/BareDisplay.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/RealBrowser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>

// Last: the X11 headers' macros clash with names in other headers.
#include "tests/support/DesktopWindows.h"
#include "tests/support/ProgramWindows.h"

namespace ql::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Kind = RealBrowser::Kind;

const std::string kText = "Grüße aus Köln – naïve café, Ærø, Łódź";
constexpr int kBarHeight = 22;  // the zone's " Save information" bar, above its tree
// The band of the tree its rows are read in, from the zone's left, and where the pointer rests
// on a node and on its child, right of that band.
constexpr int kRowsFrom = 28, kRowsTo = 46;
constexpr int kOnNode = 70, kOnChild = 90;

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The page: the two pictures and two lines of text at the viewport's bottom left; its script
// selects them once loaded and says so in the title, and selects them again after a click that
// started no drag (which leaves nothing selected). Kept small, as the drag image that follows
// the pointer is the selection's picture.
std::string Page()
{
    return "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>QL page</title></head>\n"
           "<body style=\"margin:0\"><div id=\"clip\" style=\"position:fixed;left:20px;bottom:24px;font:16px/20px sans-serif\">"
           "<img src=\"img/a.png\" width=\"40\" height=\"30\"> <img src=\"img/Photo.png?v=2\" width=\"40\" height=\"30\"><br>\n" +
           kText + "<br>\n" + kText +
           "</div>\n"
           "<script>function pick() {\n"
           "  var r = document.createRange(); r.selectNodeContents(document.getElementById('clip'));\n"
           "  var s = getSelection(); s.removeAllRanges(); s.addRange(r);\n"
           "}\n"
           "window.addEventListener('load', function () { pick(); document.title = 'QL ready'; });\n"
           "document.addEventListener('mouseup', function () { setTimeout(pick, 0); });\n"
           "</script></body></html>\n";
}

// Polls `done` until it holds or the timeout passes.
bool Within(std::chrono::milliseconds timeout, const std::function<bool()>& done, std::chrono::milliseconds step = 10ms)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(step);
    }
    return true;
}

// The lines of a tree file.
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

// Whether a file below `folder` holds `text`.
bool SomeFileHolds(const fs::path& folder, const std::string& text)
{
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        if (it->is_regular_file(ec) && ReadFile(it->path()).find(text) != std::string::npos)
            return true;
    return false;
}

// The browser, and where it runs: under the window manager, or on a bare display.
struct Peers {
    Kind browser;
    bool windowManager;
};

std::string NameOf(const Peers& peers)
{
    return std::string(RealBrowser::Name(peers.browser)) + (peers.windowManager ? "" : "WithoutWindowManager");
}
void PrintTo(const Peers& peers, std::ostream* out) { *out << NameOf(peers); }

// An unmapped window of the test's own. Chromium keeps a picture of the desktop's windows
// from a drag until 3 s after its last one, watching every window's structure and properties
// meanwhile, this one's too.
class WatchedWindow {
public:
    explicit WatchedWindow(Display* display)
        : display_(display),
          window_(display ? XCreateSimpleWindow(display, DefaultRootWindow(display), -10, -10, 1, 1, 0, 0, 0) : 0)
    {
        if (display_)
            XFlush(display_);
    }
    ~WatchedWindow()
    {
        if (display_)
            XDestroyWindow(display_, window_);
    }
    WatchedWindow(const WatchedWindow&) = delete;
    WatchedWindow& operator=(const WatchedWindow&) = delete;

    // Whether another program watches it (the test itself selects nothing on it).
    bool Watched() const
    {
        XWindowAttributes attrs;
        return display_ && XGetWindowAttributes(display_, window_, &attrs) &&
               (attrs.all_event_masks & (SubstructureNotifyMask | PropertyChangeMask)) != 0;
    }

private:
    Display* display_;
    ::Window window_;
};

class ZoneBrowserTest : public ::testing::TestWithParam<Peers> {
protected:
    // First made, last gone: everything below runs on it.
    std::unique_ptr<BareDisplay> bare = GetParam().windowManager ? nullptr : std::make_unique<BareDisplay>(1280, 1024);
    ProgramFolder program;
    std::string home = program.dir().dir() + "home/";
    Desktop desktop;
    std::string pictureA = ReadFile(QUILLORY_TEST_DATA "/urlcache/tools/site/img/a.png");
    std::string pictureB = ReadFile(QUILLORY_TEST_DATA "/urlcache/tools/site/img/Photo.png");
    LocalHttpServer server{{{"/page.html", {"text/html; charset=utf-8", Page()}},
                            {"/img/a.png", {"image/png", pictureA}},
                            {"/img/Photo.png?v=2", {"image/png", pictureB}}}};
    pid_t quillory = -1;
    ::Window zone = 0;
    WatchedWindow watched{desktop.display()};

    void SetUp() override
    {
        if (bare) {
            ASSERT_FALSE(bare->Name().empty()) << bare->Error();
        }
        ASSERT_NE(desktop.display(), nullptr);
        ASSERT_EQ(WindowManagerRunning(desktop.display()), GetParam().windowManager)
            << "run it under tests/support/with-window-manager";
        ASSERT_TRUE(RealBrowser::Installed(GetParam().browser)) << "make test installs chromium and firefox-esr";
        ASSERT_TRUE(server.Running());
        // Two nodes with a closed child each; the zone is where it goes by default.
        program.dir().write("Collection/tvframe", "Notes\r\n\tOld notes\r\nResearch\r\n\tSources\r\n");
        program.dir().write("Collection/tvdata", "Notes\r\nOld notes\r\nResearch\r\nSources\r\n");
        for (const char* id : {"Notes", "Old notes", "Research", "Sources"})
            program.dir().write(std::string("Collection/") + id + ".html", "<html><body></body></html>\r\n");
        program.dir().write("gleanhoard.ini", "[set]\r\nShowMainForm=0\r\nDragUseHtml=1\r\nDragUseUnicode=1\r\n"
                                              "DragCreateNew=1\r\nDragIncludeImage=1\r\nDragHideAfterSave=0\r\n");
    }

    void TearDown() override { desktop.Button(false); }  // a failed drag must not hold the button for the next

    // The program, with the browser's home, so that it finds the browser's cache.
    void StartProgram()
    {
        quillory = program.Start({}, {"HOME=" + home, "XDG_CACHE_HOME=" + home + ".cache"});
        ASSERT_GT(quillory, 0);
        // Looked for through the test's own connection to the display: as on a desktop where
        // nothing else connects meanwhile, a program started again gets the connection, and so
        // the window ids, its previous run had.
        ASSERT_TRUE(Within(20s, [&] {
            const std::vector<::Window> shown = desktop.WindowsOf(quillory);
            zone = shown.empty() ? 0 : shown.front();
            return zone != 0;
        })) << program.Stderr();
        ASSERT_TRUE(program.WaitListening(10s)) << program.Stderr();
    }
    void EndProgram()
    {
        Signal(quillory, SIGTERM);
        EXPECT_EQ(program.Wait(quillory, 10s), 0) << program.Stderr();
    }

    // The browser's window once its page is loaded and selected, moved to the screen's left.
    ::Window PageWindow(const RealBrowser& browser)
    {
        ::Window page = 0;
        EXPECT_TRUE(Within(30s, [&] { return (page = desktop.Titled("QL ready")) != 0; })) << browser.Log();
        if (!page)
            return 0;
        desktop.Move(page, 0, 0);
        EXPECT_TRUE(Within(5s, [&] { return desktop.Where(page).x < 20; })) << desktop.Where(page).x;
        return page;
    }

    // Glides the pointer from (x, y) to `to` in steps the programs see one by one.
    void Glide(int& x, int& y, int toX, int toY)
    {
        const int fromX = x, fromY = y;
        for (int i = 1; i <= 10; ++i) {
            x = fromX + (toX - fromX) * i / 10;
            y = fromY + (toY - fromY) * i / 10;
            desktop.PointerTo(x, y);
            std::this_thread::sleep_for(15ms);
        }
    }
    // Rests the pointer at (x, y), moving it by a pixel now and then as a hand does, until
    // `done` holds.
    bool RestUntil(int x, int y, std::chrono::milliseconds timeout, const std::function<bool()>& done)
    {
        int wiggle = 0;
        return Within(
            timeout,
            [&] {
                desktop.PointerTo(x + (++wiggle % 2), y);
                return done();
            },
            40ms);
    }

    // The rows of the zone's open tree, read from the screen.
    std::vector<ScreenRow> TreeRows()
    {
        const Box z = desktop.Where(zone);
        const Box tree{z.x, z.y + kBarHeight + 2, z.width, z.height - kBarHeight - 2};
        // Sampled just above the status line, far from the rows and from the drag image.
        const unsigned long background = PixelAt(desktop, z.x + z.width - 8, z.y + z.height - 30);
        // Read in the column of the top-level icons and the children's branch lines, left of
        // where the pointer rests: the drag image, which hangs from the pointer above it or
        // below it to the right, stays out of it.
        return RowsOnScreen(desktop, tree, z.x + kRowsFrom, z.x + kRowsTo, background, 2);
    }
    // The zone's status line, at its bottom.
    Box StatusLine()
    {
        const Box z = desktop.Where(zone);
        return Box{z.x + 1, z.y + z.height - 20, z.width - 2, 18};
    }
    // Reads the rows into `rows`; true once the same rows were read twice in a row, so that a
    // tree still being drawn is not taken for the tree.
    bool Settled(std::vector<ScreenRow>& rows)
    {
        const std::vector<ScreenRow> before = std::move(rows);
        rows = TreeRows();
        return !rows.empty() && rows == before;
    }
    static std::string Tops(const std::vector<ScreenRow>& rows)
    {
        std::string tops;
        for (const ScreenRow& r : rows)
            tops += std::to_string(r.top) + " ";
        return tops;
    }
    static std::size_t RowsBelow(const std::vector<ScreenRow>& rows, int y)
    {
        return static_cast<std::size_t>(
            std::count_if(rows.begin(), rows.end(), [&](const ScreenRow& r) { return r.top > y; }));
    }

    // Waits for `done` with the pointer at rest; a failure leaves a screenshot behind.
    bool Step(int x, int y, std::chrono::milliseconds timeout, const char* what, const std::function<bool()>& done)
    {
        if (RestUntil(x, y, timeout, done))
            return true;
        SaveScreen(desktop, NameOf(GetParam()) + "-" + what);
        return false;
    }

    // Drags the page's selection onto the zone, rests on row `parent` of its tree (of `rows`
    // rows) until it opens, and drops on the row below it, its first child. The rows are read
    // left of the pointer and the status line far below it, out of the drag image's way.
    void DragIntoTheTree(::Window page, std::size_t parent, std::size_t rows)
    {
        const Box p = desktop.Where(page);
        int x = 0, y = 0;
        // A busy browser starts its drag late: it owns the drag's selection once it has. Now
        // and then a browser takes the press for a click, as it may a hand's: then the drag
        // is tried again, as a user would.
        const Atom dragSelection = XInternAtom(desktop.display(), "XdndSelection", False);
        const auto dragging = [&] { return XGetSelectionOwner(desktop.display(), dragSelection) != None; };
        bool started = false;
        for (int attempt = 0; attempt < 3 && !started; ++attempt) {
            if (attempt > 0) {
                std::printf("%s: no drag from the press, tried again\n", NameOf(GetParam()).c_str());
                desktop.Button(false);
                std::this_thread::sleep_for(300ms);
            }
            x = p.x + 40, y = p.y + p.height - 32;  // on the selection's last line
            desktop.PointerTo(x, y);
            std::this_thread::sleep_for(50ms);
            desktop.Button(true);
            Glide(x, y, x + 40, y - 10);
            started = RestUntil(x, y, 4s, dragging);
        }
        if (!started)
            SaveScreen(desktop, NameOf(GetParam()) + "-drag-start");
        ASSERT_TRUE(started) << "no drag started";
        const Box picture = desktop.Where(zone);
        Glide(x, y, picture.x + picture.width / 2, picture.y + picture.height / 2);
        ASSERT_TRUE(Step(x, y, 10s, "zone-opening", [&] { return desktop.Where(zone).width > 100; }))
            << "the zone did not open";
        // The tree fills at the next move; it is read with the pointer well below its rows.
        const Box open = desktop.Where(zone);
        Glide(x, y, open.x + 100, open.y + open.height / 2);
        std::vector<ScreenRow> shown;
        ASSERT_TRUE(Step(x, y, 5s, "tree-rows", [&] { return Settled(shown) && shown.size() >= rows; }))
            << shown.size();
        Glide(x, y, open.x + kOnNode, shown[parent].Centre());
        const std::size_t below = shown.size() - parent - 1;
        ASSERT_TRUE(
            Step(x, y, 6s, "node-opening", [&] { return RowsBelow(TreeRows(), shown[parent].bottom + 1) > below; }))
            << "the node did not open: the pointer at " << y << ", the rows at " << Tops(shown);
        ASSERT_TRUE(Step(x, y, 5s, "tree-rows-opened", [&] { return Settled(shown); }));
        const auto child = std::find_if(shown.begin(), shown.end(), [&](const ScreenRow& r) { return r.top > y + 1; });
        if (child == shown.end())
            SaveScreen(desktop, NameOf(GetParam()) + "-child");
        ASSERT_NE(child, shown.end()) << "no row below the pointer at " << y << ", the rows at " << Tops(shown);
        const std::string parentStatus = LookOf(desktop, StatusLine());
        Glide(x, y, open.x + kOnChild, child->Centre());
        // Once the status names another node, the zone has taken the child as the target.
        ASSERT_TRUE(Step(x, y, 5s, "target", [&] { return LookOf(desktop, StatusLine()) != parentStatus; }))
            << "no target";
        desktop.Button(false);
        EXPECT_TRUE(Within(5s, [&] { return desktop.Where(zone).width < 100; })) << "the zone stayed open";
    }

    // The page of the node on the line after `parentLine` in the tree files (its new first
    // child), once it holds both pictures.
    std::string DroppedPage(const std::string& parentLine, std::string* id)
    {
        std::string page;
        const bool done = Within(
            20s,
            [&] {
                const std::vector<std::string> frame = Lines(program.dir().read("Collection/tvframe"));
                const std::vector<std::string> ids = Lines(program.dir().read("Collection/tvdata"));
                const auto parent = std::find(frame.begin(), frame.end(), parentLine);
                const std::size_t line = static_cast<std::size_t>(parent - frame.begin()) + 1;
                if (parent == frame.end() || frame.size() != ids.size() || line >= ids.size())
                    return false;
                *id = ids[line];
                page = program.dir().read("Collection/" + *id + ".html");
                const std::size_t first = page.find("!images\\");
                return first != std::string::npos && page.find("!images\\", first + 1) != std::string::npos;
            },
            50ms);
        EXPECT_TRUE(done) << program.dir().read("Collection/tvframe") << page << program.Stderr();
        return page;
    }

    // The page holds the text and both pictures, copied byte for byte and listed for it.
    void ExpectClip(const std::string& page, const std::string& id)
    {
        EXPECT_NE(page.find(kText), std::string::npos) << page;
        std::vector<std::string> names;
        for (std::size_t at = page.find("!images\\"); at != std::string::npos; at = page.find("!images\\", at + 1)) {
            const std::size_t begin = at + 8;
            names.push_back(page.substr(begin, page.find('"', begin) - begin));
        }
        ASSERT_EQ(names.size(), 2u) << page;
        EXPECT_EQ(program.dir().read("Collection/!images/" + names[0]), pictureA) << names[0];
        EXPECT_EQ(program.dir().read("Collection/!images/" + names[1]), pictureB) << names[1];
        const std::string ini = program.dir().read("Collection/images.ini");
        const std::size_t section = ini.find("[" + id + "]\r\n");
        ASSERT_NE(section, std::string::npos) << ini;
        const std::string keys = ini.substr(section, ini.find("\r\n[", section + 1) - section);
        for (const std::string& name : names)
            EXPECT_NE(keys.find(name + "=1"), std::string::npos) << ini;
    }
};

TEST_P(ZoneBrowserTest, ASelectionDroppedOnAChildInTheZonesTreeIsThatChildsPageWithItsPicturesAlsoAfterARestart)
{
    const auto started = std::chrono::steady_clock::now();
    RealBrowser browser(GetParam().browser, home, server.Url("/page.html"));
    ASSERT_GT(browser.Pid(), 0);
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    const ::Window page = PageWindow(browser);
    ASSERT_NE(page, 0u);
    // Both pictures are in the browser's disk cache before the server goes.
    ASSERT_TRUE(Within(
        15s,
        [&] {
            return SomeFileHolds(browser.CacheFolder(), server.Url("/img/a.png")) &&
                   SomeFileHolds(browser.CacheFolder(), server.Url("/img/Photo.png?v=2"));
        },
        100ms))
        << browser.Log();
    server.Stop();

    // Rows: Notes, Research (closed). Research opens; the clip goes to its child Sources.
    ASSERT_NO_FATAL_FAILURE(DragIntoTheTree(page, 1, 2));
    std::string id;
    std::string clip = DroppedPage("\tSources", &id);
    ASSERT_NO_FATAL_FAILURE(ExpectClip(clip, id));
    EXPECT_NE(program.dir().read("Collection/tvframe").find("\tSources\r\n\t\t"), std::string::npos);
    // After a stored clip the editor comes to the top, above the browser.
    EXPECT_TRUE(Within(10s, [&] {
        const auto ours = desktop.WindowsOf(quillory);
        const auto all = desktop.Stacking();
        const auto browserAt = std::find(all.begin(), all.end(), page);
        return std::any_of(ours.begin(), ours.end(),
                           [&](::Window w) { return w != zone && std::find(all.begin(), all.end(), w) > browserAt; });
    })) << "the editor stayed behind the browser";

    // Ended and started again: the zone comes back at the place it saved, never moved by hand.
    // While Chromium keeps its picture of the windows it passes over changes that come before
    // it asks the X server anything again, and a zone started again then stays out of its
    // picture until it lets it go: the start waits until it has.
    EXPECT_TRUE(Within(
        20s, [&] { return !watched.Watched(); }, 50ms))
        << "Chromium kept watching the windows";
    EndProgram();
    const std::string ini = program.dir().read("gleanhoard.ini");
    EXPECT_NE(ini.find("DragZoneTop=10\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("DragZoneLeft=" + std::to_string(ScreenWidth() * 3 / 4) + "\r\n"), std::string::npos) << ini;
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    // Rows: Notes (closed) first. Notes opens; the clip goes to its child Old notes.
    ASSERT_NO_FATAL_FAILURE(DragIntoTheTree(page, 0, 2));
    clip = DroppedPage("\tOld notes", &id);
    ASSERT_NO_FATAL_FAILURE(ExpectClip(clip, id));
    EXPECT_NE(program.dir().read("Collection/tvframe").find("\tOld notes\r\n\t\t"), std::string::npos);
    EndProgram();
    std::printf("%s: %.1f s\n", NameOf(GetParam()).c_str(),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
}

INSTANTIATE_TEST_SUITE_P(RealBrowsers, ZoneBrowserTest,
                         ::testing::Values(Peers{Kind::Chromium, true}, Peers{Kind::Firefox, true},
                                           Peers{Kind::Chromium, false}, Peers{Kind::Firefox, false}),
                         [](const ::testing::TestParamInfo<Peers>& info) { return NameOf(info.param); });

}  // namespace
}  // namespace ql::test
