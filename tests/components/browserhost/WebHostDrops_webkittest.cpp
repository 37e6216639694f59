// A real drag from another program over the browse view: the host is asked for a drop target
// of its own, and the one it gives takes the drag.
#include <gtest/gtest.h>  // before X11's headers, whose None it would meet

#include "components/browserhost/WebHost_wx.h"
#include "platform/core/ClipboardFormats.h"
#include "platform/core/UrlText.h"
#include "platform/gui/WebViewEngine_wx.h"
#include "tests/support/FakeLauncher.h"
#include "tests/support/OwnedFrame.h"
#include "tests/support/TempDir.h"
#include "tests/support/WebTestSupport.h"
#include "tests/support/XPointerDrag.h"

#include <wx/frame.h>
#include <wx/webview.h>

namespace ql {
namespace {

using namespace ql::com;

class RecordingTarget : public ComObject<IDropTarget> {
public:
    int entered = 0, dropped = 0;
    std::string text;
    HRESULT DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override
    {
        ++entered;
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT DragOver(DWORD, POINTL, DWORD* effect) override
    {
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT DragLeave() override { return S_OK; }
    HRESULT Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override
    {
        ++dropped;
        std::vector<std::uint8_t> block;
        if (FetchHGlobal(data, CF_TEXT, block))
            text.assign(block.begin(), block.end());
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
};

struct WebHostDropTest : ::testing::Test, test::XPointerDrag {
    test::ScopedXdgEnv env;
    test::TempDir dir;
    test::FakeLauncher launcher;
    test::OwnedFrame<> frame{new wxFrame(nullptr, wxID_ANY, "drops", wxPoint(300, 200), wxSize(600, 400))};
    TWebHost* web = nullptr;

    void SetUp() override
    {
        web = new TWebHost(frame, launcher);
        ASSERT_TRUE(web->Ok());
        frame->Show();
        bool loaded = false;
        web->OnDocumentComplete = [&](IDispatch*, const std::string&) { loaded = true; };
        web->NavigateToUrl(dir.write("drop.html", "<html><body><p>drop here</p></body></html>").string());
        ASSERT_TRUE(test::PumpUntil([&] { return loaded; }));
        web->OnDocumentComplete = nullptr;
    }
    void TearDown() override
    {
        web->OnGetDropTarget = nullptr;
        frame.reset();
    }
};

TEST_F(WebHostDropTest, TheDropTargetTheHostGivesTakesTheDragOverTheView)
{
    auto target = MakeCom<RecordingTarget>();
    int asked = 0;
    web->OnGetDropTarget = [&](IDropTarget* engineTarget, IDropTarget** result) {
        ++asked;
        EXPECT_EQ(engineTarget, nullptr);
        *result = ComPtr<IDropTarget>(target.get()).detach();
        return S_OK;
    };
    int x = 0, y = 0;
    ASSERT_NO_FATAL_FAILURE(StartDrag("chromium-selection", x, y));
    const wxPoint over = web->Engine()->View()->GetScreenRect().GetPosition() + wxPoint(150, 100);
    for (int i = 1; i <= 10; ++i) {
        MoveTo(x + (over.x - x) * i / 10, y + (over.y - y) * i / 10);
        Pump(15);
    }
    int wiggle = 0;
    EXPECT_TRUE(WaitFor(
        [&] {
            MoveTo(over.x + ++wiggle % 2, over.y);
            return target->entered > 0;
        },
        5000));
    Button(false);
    EXPECT_TRUE(WaitFor([&] { return target->dropped > 0; }, 5000));
    EXPECT_EQ(asked, 1);
    EXPECT_NE(target->text.find("Gr"), std::string::npos) << target->text;
}

}  // namespace
}  // namespace ql
