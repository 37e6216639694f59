#include "components/browserhost/WebHost_wx.h"
#include "platform/core/Registry.h"
#include "platform/core/UrlText.h"
#include "platform/gui/WebViewEngine_wx.h"
#include "tests/components/browserhost/PrintedPdf.h"
#include "tests/support/FakeLauncher.h"
#include "tests/support/OwnedFrame.h"
#include "tests/support/TempDir.h"
#include "tests/support/WebTestSupport.h"

#include <gdk/gdkx.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>
#include <wx/app.h>
#include <wx/artprov.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/uiaction.h>

namespace ql {
namespace {

TEST(WebHostOwner, OwnDialogTakingTheActivationIsReportedWithItsCaptionReplaced)
{
    test::ScopedXdgEnv env;
    test::FakeLauncher launcher;
    test::OwnedFrame<> frame(new wxFrame(nullptr, wxID_ANY, "owner", wxDefaultPosition, wxSize(600, 400)));
    auto* web = new TWebHost(frame, launcher);
    GtkWindow* reported = nullptr;
    web->OnShowDialog = [&](TWebHost& sender, const web::DesktopWindow& w) {
        EXPECT_EQ(&sender, web);
        reported = w.own;
    };
    web->ReplaceCaption = true;
    frame->Show();
    frame->Raise();
    // Nothing may call back into this test's variables while the frame goes.
    auto close = [&] {
        web->OnShowDialog = nullptr;
        frame.reset();
    };
    if (!test::PumpUntil([&] { return frame->IsActive(); }, 5000)) {
        close();
        GTEST_SKIP() << "windows do not take the activation on this display";
    }
    wxTheApp->SetAppDisplayName("Quillory");
    auto* dialog = new wxDialog(frame, wxID_ANY, "Find - Internet Explorer");
    dialog->Show();
    dialog->Raise();
    EXPECT_TRUE(test::PumpUntil([&] { return reported != nullptr; }, 5000));
    EXPECT_EQ(reported, GTK_WINDOW(dialog->GetHandle()));
    EXPECT_EQ(dialog->GetTitle(), "Find - Quillory");
    dialog->Destroy();
    close();
}

// Another program's window that takes the activation from the owner is reported by its X
// window; its caption stays its program's.
TEST(WebHostOwner, AnotherProgramsWindowTakingTheActivationIsReported)
{
    if (std::string(gdk_x11_screen_get_window_manager_name(gdk_screen_get_default())) == "unknown")
        GTEST_SKIP() << "no window manager runs on this display";
    test::ScopedXdgEnv env;
    test::FakeLauncher launcher;
    auto* frame = new wxFrame(nullptr, wxID_ANY, "owner", wxDefaultPosition, wxSize(600, 400));
    auto* web = new TWebHost(frame, launcher);
    std::vector<web::DesktopWindow> reported;
    web->OnShowDialog = [&](TWebHost&, const web::DesktopWindow& w) { reported.push_back(w); };
    web->ReplaceCaption = true;
    struct Close {  // however the test ends, nothing calls back into it afterwards
        wxFrame* frame;
        TWebHost* web;
        ~Close()
        {
            web->OnShowDialog = nullptr;
            frame->Destroy();
        }
    } close{frame, web};
    frame->Show();
    frame->Raise();
    ASSERT_TRUE(test::PumpUntil([&] { return frame->IsActive(); }, 5000));

    // The other program: a connection of its own to the display, and a window the manager
    // activates once it manages it.
    std::unique_ptr<Display, int (*)(Display*)> connection(XOpenDisplay(nullptr), XCloseDisplay);
    ASSERT_TRUE(connection);
    Display* other = connection.get();
    const Window root = DefaultRootWindow(other);
    const Window window = XCreateSimpleWindow(other, root, 100, 100, 200, 150, 0, 0, 0);
    XStoreName(other, window, "Find - Internet Explorer");
    XMapWindow(other, window);
    XSync(other, False);
    EXPECT_TRUE(test::PumpUntil([&] {
        XWindowAttributes a{};
        return XGetWindowAttributes(other, window, &a) && a.map_state == IsViewable;
    }));
    XClientMessageEvent ask{};
    ask.type = ClientMessage;
    ask.window = window;
    ask.message_type = XInternAtom(other, "_NET_ACTIVE_WINDOW", False);
    ask.format = 32;
    ask.data.l[0] = 2;  // asked by the user, through a pager
    XSendEvent(other, root, False, SubstructureRedirectMask | SubstructureNotifyMask, reinterpret_cast<XEvent*>(&ask));
    XSync(other, False);

    EXPECT_TRUE(test::PumpUntil([&] { return !reported.empty(); }, 5000));
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].own, nullptr);
    EXPECT_EQ(reported[0].xid, window);
    char* name = nullptr;
    ASSERT_TRUE(XFetchName(other, window, &name));
    EXPECT_STREQ(name, "Find - Internet Explorer");
    XFree(name);
}

// Ends every dialog of `type` that is still open after `ms`, so a test that waits in a modal
// dialog fails instead of hanging (without a window manager nothing takes the activation).
class DialogDeadline {
public:
    DialogDeadline(GType type, guint ms) : type_(type) { id_ = g_timeout_add(ms, &DialogDeadline::Fire, this); }
    ~DialogDeadline()
    {
        if (!fired)
            g_source_remove(id_);
    }
    bool fired = false;

private:
    static gboolean Fire(gpointer p)
    {
        auto* d = static_cast<DialogDeadline*>(p);
        d->fired = true;
        GList* all = gtk_window_list_toplevels();
        for (GList* l = all; l; l = l->next)
            if (G_TYPE_CHECK_INSTANCE_TYPE(l->data, d->type_))
                gtk_dialog_response(GTK_DIALOG(l->data), GTK_RESPONSE_CANCEL);
        g_list_free(all);
        return G_SOURCE_REMOVE;
    }
    GType type_;
    guint id_ = 0;
};

// The dialogs the engine opens on the owner, as a host with the options set sees them.
struct EngineDialogsTest : ::testing::Test {
    test::ScopedXdgEnv env;
    test::TempDir dir;
    test::FakeLauncher launcher;
    test::OwnedFrame<> frame{new wxFrame(nullptr, wxID_ANY, "owner", wxDefaultPosition, wxSize(700, 500))};
    TWebHost* web = nullptr;
    int completed = 0;

    void SetUp() override
    {
        // Without one, the toolkit's dialogs never take the activation from the owner.
        if (std::string(gdk_x11_screen_get_window_manager_name(gdk_screen_get_default())) == "unknown")
            GTEST_SKIP() << "no window manager runs on this display";
        frame->SetIcon(wxArtProvider::GetIcon(wxART_INFORMATION, wxART_FRAME_ICON, wxSize(16, 16)));
        web = new TWebHost(frame, launcher);
        ASSERT_TRUE(web->Ok());
        web->OnDocumentComplete = [this](com::IDispatch*, const std::string&) { ++completed; };
        frame->Show();
        frame->Raise();
        ASSERT_TRUE(test::PumpUntil([&] { return frame->IsActive(); }, 5000));
        ASSERT_TRUE(Navigate("<html><head><title>printed</title></head><body><p>page</p></body></html>"));
    }
    void TearDown() override
    {
        if (web) {
            web->OnShowDialog = nullptr;
            web->OnEnableModeless = nullptr;
        }
        frame.reset();
    }
    bool Navigate(const std::string& html)
    {
        int before = completed;
        web->NavigateToUrl(dir.write("page.html", html).string());
        return test::PumpUntil([&] { return completed > before; });
    }
    // Prints as the program does (no prompt, the engine's own page setup) and tells whether the
    // page came out in landscape.
    bool PrintsLandscape()
    {
        web->Engine()->PageSetupSource = nullptr;
        web->Engine()->printOutputFile = (dir.path() / "out.pdf").string();
        std::filesystem::remove(dir.path() / "out.pdf");
        bool finished = false;
        web->Engine()->OnPrintFinished = [&](bool, const std::string&) { finished = true; };
        web->PrintDocument();
        EXPECT_TRUE(test::PumpUntil([&] { return finished; }, 30000));
        web->Engine()->OnPrintFinished = nullptr;
        return test::PdfPageIsLandscape(dir.read("out.pdf")).value_or(false);
    }
};

TEST_F(EngineDialogsTest, TheEnginesPrintDialogIsReportedGetsTheIconAndHoldsTheHostsModelessWindows)
{
    web->ReplaceCaption = true;
    GtkWindow* reported = nullptr;
    std::string kind;
    bool hasIcon = false;
    std::vector<bool> modeless;
    web->OnShowDialog = [&](TWebHost&, const web::DesktopWindow& d) {
        GtkWindow* w = d.own;
        reported = w;
        kind = G_OBJECT_TYPE_NAME(w);
        GList* icons = gtk_window_get_icon_list(w);
        hasIcon = icons != nullptr;  // the owner's
        g_list_free(icons);
    };
    web->OnEnableModeless = [&](bool enable) {
        modeless.push_back(enable);
        return com::S_OK;
    };
    // While the dialog runs: once it is reported, the user presses Escape.
    struct Drive {
        GtkWindow** reported;
        bool pressed = false;
    } drive{&reported};
    guint timer = g_timeout_add(
        50,
        [](gpointer p) -> gboolean {
            auto* d = static_cast<Drive*>(p);
            if (*d->reported && !d->pressed) {
                d->pressed = true;
                wxUIActionSimulator().Char(WXK_ESCAPE);
            }
            return G_SOURCE_CONTINUE;
        },
        &drive);
    DialogDeadline deadline(GTK_TYPE_PRINT_UNIX_DIALOG, 20000);
    com::Variant in, out;
    web->ExecDocumentCommand(false, com::OLECMDID_PRINT, com::OLECMDEXECOPT_PROMPTUSER, in, out);
    g_source_remove(timer);
    ASSERT_TRUE(reported);
    EXPECT_EQ(kind, "GtkPrintUnixDialog");
    EXPECT_TRUE(hasIcon);
    EXPECT_FALSE(deadline.fired);
    EXPECT_EQ(modeless, (std::vector<bool>{false, true}));
}

TEST_F(EngineDialogsTest, ThePageSetupAutomationFillsAndConfirmsTheEnginesDialogOutOfSight)
{
    EXPECT_FALSE(PrintsLandscape());
    web->PrintOptions.Margins = {19.05, 19.05, 12.7, 25.4};
    web->PrintOptions.Orientation = TPrintOrientationOption::poLandscape;
    PageSetupPending = true;
    HidePageSetupDialog = true;
    bool shown = false;
    web->OnShowDialog = [&](TWebHost&, const web::DesktopWindow& d) {
        GtkWindow* w = d.own;
        shown = true;
        EXPECT_TRUE(test::PumpUntil(
            [&] {
                gint x = 0, y = 0;
                gtk_window_get_position(w, &x, &y);
                return x < 0;  // moved out of sight (the window manager takes its time)
            },
            3000));
    };
    DialogDeadline deadline(GTK_TYPE_PAGE_SETUP_UNIX_DIALOG, 20000);
    EXPECT_TRUE(web->ShowPageSetupDialog());  // returns once the automation has confirmed it
    EXPECT_FALSE(PageSetupPending);
    EXPECT_FALSE(HidePageSetupDialog);
    EXPECT_TRUE(shown);
    const std::string key = "Software\\Microsoft\\Internet Explorer\\PageSetup";
    EXPECT_EQ(Registry().ReadString(RegRoot::CurrentUser, key, "margin_left"), "0.75000");
    EXPECT_EQ(Registry().ReadString(RegRoot::CurrentUser, key, "margin_bottom"), "1.00000");
    EXPECT_TRUE(PrintsLandscape());  // the engine's own page setup, as the program prints
}

}  // namespace
}  // namespace ql
