#include "foundation/VekOLEDrop.h"

#include <gtest/gtest.h>

#include "tests/support/MemoryDataObject.h"

#include <map>

#include "platform/core/CfHtml.h"
#include "platform/core/ClipboardFormats.h"
#include "platform/core/DragFormats.h"
#include "platform/core/DropSession.h"
#include "platform/core/FileDropFormats.h"
#include "platform/core/TextEncoding.h"

namespace ql {
namespace {

using namespace com;

using FakeData = test::MemoryDataObject;

std::uint32_t Cf(const char* name) { return RegisterClipboardFormat(name); }

class RecordingWindow : public DropTargetWindow {
public:
    explicit RecordingWindow(std::vector<std::string>& log) : log_(log) {}
    HRESULT RegisterDragDrop(IDropTarget* t) override
    {
        log_.push_back(t ? "register" : "register-null");
        return S_OK;
    }
    HRESULT RevokeDragDrop() override
    {
        log_.push_back("revoke");
        return S_OK;
    }

private:
    std::vector<std::string>& log_;
};

struct VekOLEDropTest : ::testing::Test {
    std::vector<std::string> log;  // events in the order they were raised
    std::string url, script, selText, text;
    StringList html, files;
    TVekOLEDrop drop;
    ComPtr<FakeData> data = MakeCom<FakeData>();
    int overResult = 0;  // what the drag-over handler answers

    void Bind()
    {
        drop.TargetControl = std::make_unique<RecordingWindow>(log);
        drop.OnOLEDragOver = [this](TMyDragDrop*, int, POINTL, int&, int& res, TDropType&) {
            log.push_back("over");
            EXPECT_EQ(res, 0);
            res = overResult;
        };
        drop.OnDropText = [this](TMyDragDrop*, const std::string& t) {
            log.push_back("text");
            text = t;
        };
        drop.OnDropURL = [this](TMyDragDrop*, const std::string& u, const std::string& s) {
            log.push_back("url");
            url = u;
            script = s;
        };
        drop.OnDropFiles = [this](TMyDragDrop*, const StringList& f) {
            log.push_back("files");
            files = f;
        };
        drop.OnDropHTML = [this](TMyDragDrop*, const std::string& u, const StringList& h, const std::string& s) {
            log.push_back("html");
            url = u;
            html = h;
            selText = s;
        };
        drop.Loaded();
        log.clear();
    }
    TMyDragDrop& T() { return *drop.DropTarget(); }
    HRESULT Enter(DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK)
    {
        return T().DragEnter(data.get(), MK_LBUTTON, POINTL{10, 20}, &effect);
    }
    HRESULT Over(DWORD& effect) { return T().DragOver(MK_LBUTTON, POINTL{11, 21}, &effect); }
    HRESULT DoDrop(DWORD& effect) { return T().Drop(data.get(), 0, POINTL{11, 21}, &effect); }
};

TEST_F(VekOLEDropTest, ClassifiesInPriorityOrderWithItsEffect)
{
    Bind();
    struct Case {
        std::vector<std::uint32_t> offered;
        TDropType kind;
        DWORD effect;
    };
    const DWORD all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    std::vector<Case> cases{
        {{Cf(kFormatUrl), Cf(kFormatHtml), CF_TEXT, CF_DIB}, dtURL, DROPEFFECT_LINK},
        {{Cf(kFormatNetscapeBookmark), Cf(kFormatFileName)}, dtURL, DROPEFFECT_LINK},
        {{Cf(kFormatFileName), Cf(kFormatHtml), CF_HDROP}, dtFiles, DROPEFFECT_COPY},
        {{Cf(kFormatHtml), CF_TEXT}, dtHTML, DROPEFFECT_COPY},
        {{CF_TEXT, CF_DIB}, dtText, DROPEFFECT_COPY},
        {{CF_DIB, CF_HDROP}, dtPicture, DROPEFFECT_COPY},
        // A descriptor in front of the others settles the search with no kind.
        {{Cf(kFormatFileGroupDescriptor), Cf(kFormatHtml), CF_TEXT}, 0, all},
    };
    for (const Case& c : cases) {
        data->blocks.clear();
        for (auto cf : c.offered)
            data->SetText(cf, "x");
        ASSERT_EQ(Enter(), S_OK);
        DWORD effect = all;
        EXPECT_EQ(Over(effect), S_OK);
        EXPECT_EQ(T().DropTypes(), c.kind) << c.offered.front();
        EXPECT_EQ(effect, c.effect) << c.offered.front();
        T().DragLeave();
    }
}

TEST_F(VekOLEDropTest, DescriptorOrFileListAloneGiveAnEmptySetButStillAnEvent)
{
    Bind();
    for (std::uint32_t only : {Cf(kFormatFileGroupDescriptor), static_cast<std::uint32_t>(CF_HDROP)}) {
        data->blocks.clear();
        data->Set(only, std::string(336, '\0'));
        log.clear();
        ASSERT_EQ(Enter(), S_OK);
        DWORD effect = DROPEFFECT_MOVE;
        EXPECT_EQ(Over(effect), S_OK);
        EXPECT_EQ(T().DropTypes(), 0);
        EXPECT_EQ(effect, DROPEFFECT_MOVE);  // left as it came
        effect = DROPEFFECT_COPY;
        EXPECT_EQ(DoDrop(effect), S_OK);
        EXPECT_EQ(log, std::vector<std::string>{"over"});
    }
}

TEST_F(VekOLEDropTest, NothingUsableOfferedGivesSFalseAndNoEvent)
{
    Bind();
    data->SetText(RegisterClipboardFormat("ql-test Unrelated"), "x");
    ASSERT_EQ(Enter(), S_OK);
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
    EXPECT_EQ(Over(effect), S_FALSE);
    EXPECT_EQ(effect, DROPEFFECT_COPY | DROPEFFECT_LINK);
    EXPECT_TRUE(log.empty());
}

TEST_F(VekOLEDropTest, HtmlDropGivesLinesSourceUrlAndSelectionText)
{
    Bind();
    data->SetText(Cf(kFormatHtml), BuildCfHtml("<b>Hi</b>", "https://e.org/page"));
    data->SetText(CF_TEXT, "Hi");
    ASSERT_EQ(Enter(), S_OK);
    DWORD effect = DROPEFFECT_COPY;
    Over(effect);
    EXPECT_EQ(DoDrop(effect), S_OK);
    EXPECT_EQ(url, "https://e.org/page");
    EXPECT_EQ(selText, "Hi");
    ASSERT_GE(html.size(), 10u);
    EXPECT_EQ(html[7], "SourceURL:https://e.org/page");
    EXPECT_EQ(html[8], "<HTML><BODY>");
    EXPECT_EQ(html[9], "<!--StartFragment--><b>Hi</b><!--EndFragment-->");
    EXPECT_FALSE(T().HoldsDataObject());
}

TEST_F(VekOLEDropTest, UrlComesFromTheSourceUrlKeyNotFromWhateverIsOnLineSeven)
{
    Bind();
    // A short header: fewer than eight lines.
    data->SetText(Cf(kFormatHtml), "Version:0.9\r\nStartHTML:40\r\n<HTML><BODY>x</BODY></HTML>");
    ASSERT_EQ(Enter(), S_OK);
    DWORD effect = DROPEFFECT_COPY;
    Over(effect);
    DoDrop(effect);
    EXPECT_EQ(url, "");
    EXPECT_EQ(html.size(), 3u);

    // A header in another order: line 7 is markup, the URL stands elsewhere.
    data->SetText(Cf(kFormatHtml),
                  "Version:0.9\nSourceURL:http://a.example/\nStartHTML:1\nEndHTML:2\nStartFragment:3\nEndFragment:4\n"
                  "<html>\n<body>\n<p>x</p>\n</body></html>");
    ASSERT_EQ(Enter(), S_OK);
    Over(effect);
    DoDrop(effect);
    EXPECT_EQ(url, "http://a.example/");
    EXPECT_EQ(html[7], "<body>");
}

TEST_F(VekOLEDropTest, HtmlThatCannotBeReadAtTheDropLeavesNoStaleLines)
{
    Bind();
    data->SetText(Cf(kFormatHtml), BuildCfHtml("<i>first</i>", "http://one/"));
    Enter();
    DWORD effect = DROPEFFECT_COPY;
    Over(effect);
    DoDrop(effect);
    ASSERT_FALSE(html.empty());

    // The next drag offers HTML while it runs, but the data is gone at the drop.
    Enter();
    Over(effect);
    data->blocks.clear();
    DoDrop(effect);
    EXPECT_TRUE(html.empty());
    EXPECT_EQ(url, "");
}

// A browser does not hand over the markup of a very large selection; its text still arrives and
// is dropped as text.
TEST_F(VekOLEDropTest, HtmlThatCannotBeReadDropsItsTextInstead)
{
    Bind();
    auto x = MakeCom<XDragDataObject>(std::vector<std::string>{"UTF8_STRING", "chromium/x-renderer-taint", "text/html"},
                                      nullptr);
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(T().DragEnter(x.get(), MK_LBUTTON, {}, &effect), S_OK);
    ASSERT_EQ(T().DragOver(MK_LBUTTON, {}, &effect), S_OK);
    EXPECT_EQ(T().DropTypes(), dtHTML);
    x->BeginDrop([](const std::string& t) -> std::optional<std::string> {
        if (t == "UTF8_STRING")
            return std::string("a very large selection");
        if (t == "chromium/x-renderer-taint")
            return std::string("https://ex.org");
        return std::nullopt;  // the markup never came
    });
    ASSERT_EQ(T().Drop(x.get(), 0, {}, &effect), S_OK);
    x->EndDrop();
    EXPECT_EQ(log, (std::vector<std::string>{"over", "text"}));
    EXPECT_EQ(text, "a very large selection");
    EXPECT_EQ(x->Fetched(), (std::vector<std::string>{"UTF8_STRING", "chromium/x-renderer-taint", "text/html"}));
}

TEST_F(VekOLEDropTest, LinkDropGivesUrlAndTitleWithoutExtension)
{
    Bind();
    data->SetText(Cf(kFormatNetscapeBookmark), "https://e.org/n");
    auto fgd = BuildFileGroupDescriptor("Example v1.2.url");
    data->Set(Cf(kFormatFileGroupDescriptor), std::string(fgd.begin(), fgd.end()));
    data->SetText(Cf(kFormatUrl), "https://e.org/u");
    Enter();
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
    Over(effect);
    EXPECT_EQ(effect, DROPEFFECT_LINK);
    DoDrop(effect);
    EXPECT_EQ(url, "https://e.org/u");
    EXPECT_EQ(script, "Example v1.2");

    Enter();
    Over(effect);
    data->blocks.erase(Cf(kFormatUrl));
    DoDrop(effect);
    EXPECT_EQ(url, "https://e.org/n");  // from "Netscape Bookmark" when the URL format is missing
    EXPECT_EQ(script, "Example v1.2");

    // A link without a title: its descriptor name is the extension alone, the title empty.
    auto untitled = BuildFileGroupDescriptor(".url");
    data->Set(Cf(kFormatFileGroupDescriptor), std::string(untitled.begin(), untitled.end()));
    data->SetText(Cf(kFormatUrl), "https://e.org/u");
    Enter();
    Over(effect);
    DoDrop(effect);
    EXPECT_EQ(script, "");
}

TEST_F(VekOLEDropTest, TruncatedDescriptorIsReadOnlyAsFarAsItGoes)
{
    Bind();
    data->SetText(Cf(kFormatUrl), "https://e.org/t");
    auto fgd = BuildFileGroupDescriptor("A long title.url");
    data->Set(Cf(kFormatFileGroupDescriptor), std::string(fgd.begin(), fgd.begin() + 82));
    Enter();
    DWORD effect = DROPEFFECT_LINK;
    Over(effect);
    DoDrop(effect);
    EXPECT_EQ(script, "A long");
    data->Set(Cf(kFormatFileGroupDescriptor), std::string(fgd.begin(), fgd.begin() + 3));
    Enter();
    Over(effect);
    DoDrop(effect);
    EXPECT_EQ(url, "https://e.org/t");
    EXPECT_EQ(script, "");
}

TEST_F(VekOLEDropTest, FilesDropListsEveryFileEvenNone)
{
    Bind();
    data->SetText(Cf(kFormatFileName), "/tmp/a");
    auto hdrop = BuildHDrop({"/tmp/a", "/tmp/b c"});
    data->Set(CF_HDROP, std::string(hdrop.begin(), hdrop.end()));
    Enter();
    DWORD effect = DROPEFFECT_COPY;
    Over(effect);
    DoDrop(effect);
    EXPECT_EQ(files, (StringList{"/tmp/a", "/tmp/b c"}));
    data->blocks.erase(CF_HDROP);
    Enter();
    Over(effect);
    log.clear();
    DoDrop(effect);
    EXPECT_EQ(log, std::vector<std::string>{"files"});
    EXPECT_TRUE(files.empty());
}

TEST_F(VekOLEDropTest, KindsAddedByTheHandlerRaiseTextUrlFilesHtmlInThatOrder)
{
    std::vector<std::string> order;
    TVekOLEDrop many;
    many.TargetControl = std::make_unique<RecordingWindow>(order);
    many.OnOLEDragOver = [](TMyDragDrop*, int, POINTL, int&, int&, TDropType& t) {
        t |= dtHTML | dtFiles | dtText | dtURL | dtPicture;
    };
    many.OnDropHTML = [&](TMyDragDrop*, const std::string&, const StringList&, const std::string&) {
        order.push_back("html");
    };
    many.OnDropFiles = [&](TMyDragDrop*, const StringList&) { order.push_back("files"); };
    many.OnDropURL = [&](TMyDragDrop*, const std::string&, const std::string&) { order.push_back("url"); };
    many.OnDropText = [&](TMyDragDrop*, const std::string&) { order.push_back("text"); };
    many.OnDropPict = [&](TMyDragDrop*, const std::vector<std::uint8_t>&) { order.push_back("pict"); };
    many.Loaded();
    order.clear();
    data->SetText(CF_TEXT, "t");
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(many.DropTarget()->DragEnter(data.get(), 0, {}, &effect), S_OK);
    many.DropTarget()->DragOver(0, {}, &effect);
    many.DropTarget()->Drop(data.get(), 0, {}, &effect);
    EXPECT_EQ(order, (std::vector<std::string>{"text", "url", "files", "html"}));
}

TEST_F(VekOLEDropTest, NeverReportsMoveAtTheDrop)
{
    Bind();
    data->SetText(CF_TEXT, "t");
    for (auto [in, out] : std::vector<std::pair<DWORD, DWORD>>{{DROPEFFECT_MOVE, DROPEFFECT_COPY},
                                                               {DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_LINK},
                                                               {DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY},
                                                               {DROPEFFECT_NONE, DROPEFFECT_NONE}}) {
        Enter();
        DWORD effect = in;
        EXPECT_EQ(DoDrop(effect), S_OK);
        EXPECT_EQ(effect, out) << in;
    }
}

TEST_F(VekOLEDropTest, RefusedEntryIsNotFollowedByEventsOrHeldData)
{
    drop.OnOLEDragEnter = [](TMyDragDrop*, IDataObject*, int, POINTL, int& eff, int& res) {
        eff = DROPEFFECT_NONE;
        res = static_cast<int>(E_ABORT);
    };
    bool dropped = false;
    drop.OnOLEDrop = [&](TMyDragDrop*, IDataObject*, int, POINTL, int&, int&) { dropped = true; };
    Bind();
    data->SetText(CF_TEXT, "t");
    ULONG before = data->RefCount();
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(T().DragEnter(data.get(), 0, {}, &effect), E_ABORT);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(data->RefCount(), before);
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(Over(effect), E_ABORT);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(DoDrop(effect), E_ABORT);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_FALSE(dropped);
    EXPECT_TRUE(log.empty()) << log.front();
}

TEST_F(VekOLEDropTest, HoldsTheDataObjectFromEntryToLeaveOrDrop)
{
    Bind();
    data->SetText(CF_TEXT, "t");
    ULONG base = data->RefCount();
    Enter();
    EXPECT_EQ(data->RefCount(), base + 1);
    T().DragLeave();
    EXPECT_EQ(data->RefCount(), base);
    Enter();
    DWORD effect = DROPEFFECT_COPY;
    Over(effect);
    DoDrop(effect);
    EXPECT_EQ(data->RefCount(), base);
    EXPECT_EQ(text, "t");
}

TEST_F(VekOLEDropTest, LoadedRegistersOnceCopiesEventsAndDestructionRevokes)
{
    std::vector<std::string> reg;
    {
        TVekOLEDrop d;
        d.Loaded();  // no target window: nothing happens
        EXPECT_EQ(d.DropTarget(), nullptr);
        d.TargetControl = std::make_unique<RecordingWindow>(reg);
        d.Loaded();
        d.Loaded();
        TMyDragDrop* sender = nullptr;
        d.OnOLEDragLeave = [&](TMyDragDrop* s, int&) { sender = s; };  // too late: not copied
        d.DropTarget()->DragLeave();
        EXPECT_EQ(sender, nullptr);
        void* p = nullptr;
        EXPECT_EQ(d.DropTarget()->QueryInterface(IDropTarget::IID_, &p), S_OK);
        EXPECT_EQ(p, static_cast<IDropTarget*>(d.DropTarget()));
        d.DropTarget()->Release();
        EXPECT_EQ(d.DropTarget()->QueryInterface(IDataObject::IID_, &p), E_NOINTERFACE);
        EXPECT_EQ(d.DropTarget()->FormatIds()[4], Cf(kFormatHtml));
    }
    EXPECT_EQ(reg, (std::vector<std::string>{"register", "revoke"}));
}

TEST_F(VekOLEDropTest, ThrowingHandlerDoesNotEscapeAndReleasesTheData)
{
    drop.OnOLEDrop = [](TMyDragDrop*, IDataObject*, int, POINTL, int&, int&) { throw std::runtime_error("handler"); };
    Bind();
    data->SetText(CF_TEXT, "t");
    ULONG base = data->RefCount();
    Enter();
    DWORD effect = DROPEFFECT_COPY;
    Over(effect);
    testing::internal::CaptureStderr();
    EXPECT_EQ(DoDrop(effect), E_UNEXPECTED);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "quillory: drop target: handler\n");  // not lost quietly
    EXPECT_EQ(data->RefCount(), base);
}

// The whole road of a browser selection without a display: the X11 drag's data object with a
// recorded source, classified and dropped through the component.
TEST_F(VekOLEDropTest, BrowserSelectionDragThroughTheX11DataObject)
{
    Bind();
    std::vector<std::string> targets{
        "UTF8_STRING", "STRING", "TEXT", "text/plain", "chromium/x-renderer-taint", "text/html", "chromium/x-drag-id"};
    auto x = MakeCom<XDragDataObject>(targets, nullptr);
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(T().DragEnter(x.get(), MK_LBUTTON, {}, &effect), S_OK);
    ASSERT_EQ(T().DragOver(MK_LBUTTON, {}, &effect), S_OK);
    EXPECT_EQ(T().DropTypes(), dtHTML);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    x->BeginDrop([](const std::string& t) -> std::optional<std::string> {
        if (t == "text/html")
            return "\xFF\xFE" + Utf8ToUtf16Le("<p>Grüße</p>\n<p>zwei</p>");
        if (t == "UTF8_STRING")
            return std::string("Grüße\nzwei");
        if (t == "chromium/x-renderer-taint")
            return std::string("http://127.0.0.1:8799");
        return std::nullopt;
    });
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(T().Drop(x.get(), 0, {}, &effect), S_OK);
    x->EndDrop();
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    EXPECT_EQ(url, "http://127.0.0.1:8799");
    EXPECT_EQ(selText, "Grüße\nzwei");
    ASSERT_GE(html.size(), 11u);
    EXPECT_EQ(html[9], "<!--StartFragment--><p>Grüße</p>");
    EXPECT_EQ(html[10], "<p>zwei</p><!--EndFragment-->");
}

// The toolkit reports the first motion over the window as the entry alone; a drop right after it
// must still be classified, and a drag the owner would refuse must not be taken.
TEST_F(VekOLEDropTest, DropRightAfterTheEntryIsClassifiedAndDelivered)
{
    Bind();
    const DWORD all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    auto fetch = [](const std::string& t) -> std::optional<std::string> {
        if (t == "text/html")
            return std::string("<p>once</p>");
        return std::string("once");
    };
    DropSession session(&T());
    EXPECT_EQ(session.Enter(MakeCom<XDragDataObject>(std::vector<std::string>{"UTF8_STRING", "text/html"}, nullptr),
                            MK_LBUTTON, POINTL{5, 6}, all),
              DROPEFFECT_COPY);
    ASSERT_TRUE(session.DropStarting());
    EXPECT_EQ(session.Drop(fetch, 0, POINTL{5, 6}, all), DROPEFFECT_COPY);
    EXPECT_EQ(log, (std::vector<std::string>{"over", "html"}));
    EXPECT_EQ(selText, "once");
    ASSERT_GE(html.size(), 10u);
    EXPECT_EQ(html[9], "<!--StartFragment--><p>once</p><!--EndFragment-->");

    log.clear();
    overResult = static_cast<int>(S_FALSE);
    EXPECT_EQ(session.Enter(MakeCom<XDragDataObject>(std::vector<std::string>{"text/html"}, nullptr), MK_LBUTTON,
                            POINTL{5, 6}, all),
              DROPEFFECT_NONE);
    EXPECT_FALSE(session.DropStarting());
    EXPECT_EQ(session.Drop(fetch, 0, POINTL{5, 6}, all), DROPEFFECT_NONE);
    EXPECT_EQ(log, (std::vector<std::string>{"over"}));
}

// The window a real toolkit gives: it holds the drop target and ends a running drag with a leave
// when the registration ends.
class HoldingWindow : public DropTargetWindow {
public:
    explicit HoldingWindow(ComPtr<TMyDragDrop>& held) : held_(held) {}
    HRESULT RegisterDragDrop(IDropTarget* t) override
    {
        held_ = ComPtr<TMyDragDrop>(static_cast<TMyDragDrop*>(t));
        return S_OK;
    }
    HRESULT RevokeDragDrop() override { return held_ ? held_->DragLeave() : S_OK; }

private:
    ComPtr<TMyDragDrop>& held_;
};

TEST(VekOLEDropOwner, GoneOwnerHearsNothingMoreAndLaterDragsAreRefused)
{
    std::vector<std::string> events;
    auto data = MakeCom<FakeData>();
    data->SetText(CF_TEXT, "t");
    ComPtr<TMyDragDrop> held;  // as the window keeps it
    auto note = [&](const char* e) { return [&events, e](auto&&...) { events.push_back(e); }; };
    {
        TVekOLEDrop owner;
        owner.TargetControl = std::make_unique<HoldingWindow>(held);
        owner.OnOLEDragEnter = note("enter");
        owner.OnOLEDragOver = note("over");
        owner.OnOLEDragLeave = note("leave");
        owner.OnOLEDrop = note("drop");
        owner.OnDropText = note("text");
        owner.Loaded();
        ASSERT_TRUE(held);
        DWORD effect = DROPEFFECT_COPY;
        held->DragEnter(data.get(), 0, {}, &effect);
        held->DragOver(0, {}, &effect);
        events.clear();
    }  // destroyed in the middle of a drag
    EXPECT_TRUE(events.empty());
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(held->DragEnter(data.get(), 0, {}, &effect), S_FALSE);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(held->DragOver(0, {}, &effect), S_FALSE);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(held->Drop(data.get(), 0, {}, &effect), S_FALSE);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(held->HoldsDataObject());
}

// A drop handler that destroys the owner: the drop's later events are not raised into it.
TEST(VekOLEDropOwner, OwnerDestroyedByADropHandlerGetsNoLaterEvent)
{
    std::vector<std::string> events;
    auto data = MakeCom<FakeData>();
    data->SetText(CF_TEXT, "t");
    data->SetText(RegisterClipboardFormat(kFormatHtml), "Version:0.9\r\n<p>x</p>");
    ComPtr<TMyDragDrop> held;
    auto owner = std::make_unique<TVekOLEDrop>();
    owner->TargetControl = std::make_unique<HoldingWindow>(held);
    owner->OnOLEDragOver = [](TMyDragDrop*, int, POINTL, int&, int&, TDropType& t) { t |= dtText; };
    owner->OnDropText = [&](TMyDragDrop*, const std::string&) {
        events.push_back("text");
        owner.reset();
    };
    owner->OnDropHTML = [&](TMyDragDrop*, const std::string&, const StringList&, const std::string&) {
        events.push_back("html");
    };
    owner->Loaded();
    DWORD effect = DROPEFFECT_COPY;
    held->DragEnter(data.get(), 0, {}, &effect);
    ASSERT_EQ(held->DragOver(0, {}, &effect), S_OK);
    ASSERT_EQ(held->DropTypes(), dtHTML | dtText);
    held->Drop(data.get(), 0, {}, &effect);
    EXPECT_EQ(events, std::vector<std::string>{"text"});
}

}  // namespace
}  // namespace ql
