#include "platform/gui/PageSnapshot_wx.h"

#include "platform/core/SafeFile.h"
#include "platform/core/UrlText.h"
#include "platform/gui/WebViewEngine_wx.h"

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/sizer.h>
#include <wx/webview.h>

#include <cairo.h>
#include <webkit2/webkit2.h>

#include <cstdio>

namespace ql::web {

struct PageSnapshot::Impl {
    wxFrame* frame = nullptr;  // destroyed with the snapshot
    std::shared_ptr<WebViewEngine> engine;
    std::string pngFile;
    Done done;
    GCancellable* cancellable = g_cancellable_new();
    bool finished = false;
    // `done` runs from the event loop, never inside the engine's own signal, so it may destroy
    // the snapshot; it is skipped once the snapshot is gone.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);

    ~Impl()
    {
        *alive = false;
        g_cancellable_cancel(cancellable);
        g_object_unref(cancellable);
        engine.reset();
        if (frame)
            frame->Destroy();
    }

    void Finish(bool ok)
    {
        if (finished)
            return;
        finished = true;
        wxTheApp->CallAfter([alive = alive, done = done, ok] {
            if (*alive && done)
                done(ok);
        });
    }

    static void Taken(GObject* source, GAsyncResult* result, gpointer data)
    {
        GError* error = nullptr;
        cairo_surface_t* surface = webkit_web_view_get_snapshot_finish(WEBKIT_WEB_VIEW(source), result, &error);
        if (error && g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
            g_error_free(error);  // the snapshot object is gone: `data` must not be touched
            return;
        }
        auto* self = static_cast<Impl*>(data);
        bool ok = false;
        if (surface) {
            // Written beside the target and renamed over it, so a wallpaper in use is never
            // half a picture.
            const std::string temp = self->pngFile + ".part";
            ok = cairo_surface_write_to_png(surface, temp.c_str()) == CAIRO_STATUS_SUCCESS &&
                 std::rename(temp.c_str(), self->pngFile.c_str()) == 0;
            if (!ok)
                std::remove(temp.c_str());
            cairo_surface_destroy(surface);
        }
        if (error)
            g_error_free(error);
        self->Finish(ok);
    }
};

PageSnapshot::PageSnapshot(std::unique_ptr<Impl> impl) : d_(std::move(impl)) {}

PageSnapshot::~PageSnapshot() = default;

std::unique_ptr<PageSnapshot> PageSnapshot::Start(const std::string& pageFile, const std::string& pngFile, int width,
                                                  int height, Done done)
{
    auto impl = std::make_unique<Impl>();
    impl->pngFile = pngFile;
    impl->done = std::move(done);
    // The view must be mapped to be drawn: a borderless frame outside the visible screen.
    impl->frame = new wxFrame(nullptr, wxID_ANY, "", wxPoint(-4 * width, -4 * height), wxSize(width, height),
                              wxBORDER_NONE | wxFRAME_NO_TASKBAR);
    impl->engine = WebViewEngine::Create(impl->frame);
    if (!impl->engine || !FileExists(pageFile)) {
        impl->frame->Destroy();
        impl->frame = nullptr;
        return nullptr;
    }
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(impl->engine->View(), 1, wxEXPAND);
    impl->frame->SetSizer(sizer);
    impl->frame->Show();
    impl->engine->ServePagesWithoutScripts();
    impl->engine->FollowOwnLoadsOnly();
    impl->engine->showErrorPages = false;
    Impl* raw = impl.get();
    impl->engine->OnLoaded = [raw](const std::string&) {
        WebKitWebView* view = raw->engine ? raw->engine->Native() : nullptr;
        if (!view || raw->engine->LoadFailed()) {
            raw->Finish(false);
            return;
        }
        webkit_web_view_get_snapshot(view, WEBKIT_SNAPSHOT_REGION_VISIBLE, WEBKIT_SNAPSHOT_OPTIONS_NONE,
                                     raw->cancellable, &Impl::Taken, raw);
    };
    impl->engine->Load(FilePathToUrl(pageFile));
    return std::unique_ptr<PageSnapshot>(new PageSnapshot(std::move(impl)));
}

}  // namespace ql::web
