// A drag source for the drop tests: a small GTK window that, when dragged from, offers the
// targets with the encodings that the two browsers offer for a selection, a link or a picture,
// dragging as the browser does (Chromium with its own XDND source, Firefox through GTK's)
// (plus a picture-only drag; a selection with 1.5 MB of markup; and one whose markup is never
// delivered, as a browser does with a very large one: the helper hangs in that request until its stdin closes). It
// reports on stdout: "ready", "begin", "get <target>" for every request of data, "end" (the chromium-* modes, given
// "answers" after X Y, also "answered X Y accepted|refused" for every position the target answered); it quits when its
// stdin closes.
#include "tests/platform/gui/ChromiumDragSource.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

std::string Utf16Le(const std::string& utf8, bool bom)
{
    glong n = 0;
    gunichar2* units = g_utf8_to_utf16(utf8.c_str(), -1, nullptr, &n, nullptr);
    std::string out = bom ? std::string("\xFF\xFE", 2) : std::string();
    for (glong i = 0; i < n; ++i) {
        out += static_cast<char>(units[i] & 0xFF);
        out += static_cast<char>(units[i] >> 8);
    }
    g_free(units);
    return out;
}

std::string Picture(const char* type)
{
    GdkPixbuf* p = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 3, 2);
    gdk_pixbuf_fill(p, 0x2080C0FF);
    gchar* buf = nullptr;
    gsize len = 0;
    gdk_pixbuf_save_to_buffer(p, &buf, &len, type, nullptr, nullptr);
    std::string out(buf, len);
    g_free(buf);
    g_object_unref(p);
    return out;
}

const std::string kPage = "http://127.0.0.1:8799/page.html";
const std::string kTitle = "Example Page";
const std::string kImageUrl = "http://127.0.0.1:8799/img/a.png";
const std::string kText = "Grüße aus dem Test\nzweite Zeile";
const std::string kFragment = "<p style=\"color: rgb(0, 0, 0);\">Grüße aus dem <b>Test</b></p>\n<p>zweite Zeile</p>";
const std::string kMeta = "<meta http-equiv=\"content-type\" content=\"text/html; charset=utf-8\">";

struct Offer {
    std::vector<std::string> targets;
    std::map<std::string, std::string> bytes;
};

void Add(Offer& o, const std::string& target, const std::string& bytes)
{
    o.targets.push_back(target);
    o.bytes[target] = bytes;
}

void ChromiumLink(Offer& o, const std::string& url, const std::string& title)
{
    Add(o, "text/x-moz-url", Utf16Le(url + "\n" + title, false));
    for (const char* t : {"UTF8_STRING", "STRING", "TEXT", "text/plain"})
        Add(o, t, url);
    Add(o, "_NETSCAPE_URL", url + "\n" + title);
    Add(o, "text/html", Utf16Le("<a href=\"" + url + "\">" + title + "</a>", true));
}

void FirefoxSelectionTargets(Offer& o, const std::string& html, const std::string& text)
{
    Add(o, "text/_moz_htmlcontext", Utf16Le("<html><body></body></html>", false));
    Add(o, "text/_moz_htmlinfo", Utf16Le("0,0", false));
    Add(o, "text/html", kMeta + html);
    for (const char* t : {"text/plain", "text/plain;charset=utf-8", "UTF8_STRING", "STRING"})
        Add(o, t, text);
}

void FirefoxLink(Offer& o, const std::string& url, const std::string& title)
{
    Add(o, "text/x-moz-url", Utf16Le(url + "\n" + title, false));
    Add(o, "_NETSCAPE_URL", url + "\n" + title);
    Add(o, "text/x-moz-url-data", Utf16Le(url, false));
    Add(o, "text/x-moz-url-desc", Utf16Le(title, false));
    FirefoxSelectionTargets(o, "<a href=\"" + url + "\">" + title + "</a>", url);
}

bool MakeOffer(const std::string& mode, Offer& o)
{
    if (mode == "chromium-selection" || mode == "chromium-selection-stalled" || mode == "chromium-selection-large" ||
        mode == "chromium-selection-picture") {
        for (const char* t : {"UTF8_STRING", "STRING", "TEXT", "text/plain"})
            Add(o, t, kText);
        Add(o, "chromium/x-renderer-taint", "http://127.0.0.1:8799");
        std::string fragment = kFragment;
        if (mode == "chromium-selection-large")  // 1.5 MB of markup as UTF-16, handed over in parts
            while (fragment.size() < 750000)
                fragment += "\n" + kFragment;
        if (mode == "chromium-selection-picture")  // a selection of text and an image
            fragment += "<img src=\"" + kImageUrl + "\">";
        Add(o, "text/html", Utf16Le(fragment, true));
        Add(o, "chromium/x-drag-id", std::string("\x01\x00\x00\x00", 4));
    } else if (mode == "chromium-link") {
        ChromiumLink(o, kPage, kTitle);
    } else if (mode == "chromium-image") {
        ChromiumLink(o, kImageUrl, "a.png");
        Add(o, "XdndDirectSave0", "");
        Add(o, "application/octet-stream", Picture("png"));
    } else if (mode == "firefox-selection" || mode == "firefox-selection-picture") {
        FirefoxSelectionTargets(
            o, mode == "firefox-selection" ? kFragment : kFragment + "<img src=\"" + kImageUrl + "\">", kText);
    } else if (mode == "firefox-link") {
        FirefoxLink(o, kPage, kTitle);
    } else if (mode == "firefox-image") {
        FirefoxLink(o, kImageUrl, "a.png");
        Add(o, "image/png", Picture("png"));
        Add(o, "image/jpeg", Picture("jpeg"));
        Add(o, "text/uri-list", kImageUrl + "\r\n");
        Add(o, "application/x-moz-file-promise-url", kImageUrl);
        Add(o, "application/x-moz-file-promise-dest-filename", "a.png");
        Add(o, "XdndDirectSave0", "");
    } else if (mode == "qt-files") {
        // Files from a Qt file manager, as measured: Qt adds the first address as x-moz-url.
        Add(o, "text/uri-list", "file:///tmp/a%20b.txt\r\nfile:///tmp/c.txt\r\n");
        Add(o, "text/x-moz-url", Utf16Le("file:///tmp/a%20b.txt\r\n", false));
        Add(o, "text/plain", "file:///tmp/a b.txt\nfile:///tmp/c.txt\n");
    } else if (mode == "image-only") {
        Add(o, "image/png", Picture("png"));
    } else {
        return false;
    }
    return true;
}

Offer g_offer;
bool g_stallHtml = false;

void ServeTarget(GtkSelectionData* sd)
{
    gchar* name = gdk_atom_name(gtk_selection_data_get_target(sd));
    std::string target = name;
    g_free(name);
    std::printf("get %s\n", target.c_str());
    if (g_stallHtml && target == "text/html") {
        char c;
        while (read(0, &c, 1) > 0) {
        }
        _exit(0);
    }
    auto it = g_offer.bytes.find(target);
    if (it == g_offer.bytes.end())
        return;
    gtk_selection_data_set(sd, gtk_selection_data_get_target(sd), 8, reinterpret_cast<const guchar*>(it->second.data()),
                           static_cast<gint>(it->second.size()));
}

void OnDataGet(GtkWidget*, GdkDragContext*, GtkSelectionData* sd, guint, guint, gpointer) { ServeTarget(sd); }

gboolean OnStdin(GIOChannel*, GIOCondition cond, gpointer)
{
    char buf[64];
    if ((cond & (G_IO_HUP | G_IO_ERR)) || read(0, buf, sizeof buf) <= 0) {
        gtk_main_quit();
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int main(int argc, char** argv)
{
    setvbuf(stdout, nullptr, _IOLBF, 0);
    gtk_init(&argc, &argv);
    if ((argc != 4 && !(argc == 5 && std::string(argv[4]) == "answers")) || !MakeOffer(argv[1], g_offer)) {
        std::fprintf(stderr, "usage: %s MODE X Y [answers]\n", argv[0]);
        return 2;
    }
    g_stallHtml = std::string(argv[1]).find("-stalled") != std::string::npos;
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
    gtk_window_set_default_size(GTK_WINDOW(window), 120, 80);
    gtk_window_move(GTK_WINDOW(window), std::atoi(argv[2]), std::atoi(argv[3]));
    GtkWidget* box = gtk_event_box_new();
    gtk_container_add(GTK_CONTAINER(window), box);

    if (std::string(argv[1]).rfind("chromium-", 0) == 0) {
        ql::test::ChromiumDragHooks hooks{ServeTarget, [](const char* what) { std::printf("%s\n", what); }, {}};
        if (argc == 5)
            hooks.answered = [](int x, int y, bool accepted) {
                std::printf("answered %d %d %s\n", x, y, accepted ? "accepted" : "refused");
            };
        ql::test::MakeChromiumDragSource(box, g_offer.targets, std::move(hooks));
    } else {
        std::vector<GtkTargetEntry> entries;
        for (std::size_t i = 0; i < g_offer.targets.size(); ++i)
            entries.push_back(GtkTargetEntry{const_cast<gchar*>(g_offer.targets[i].c_str()), 0, static_cast<guint>(i)});
        gtk_drag_source_set(box, GDK_BUTTON1_MASK, entries.data(), static_cast<gint>(entries.size()),
                            static_cast<GdkDragAction>(GDK_ACTION_COPY | GDK_ACTION_MOVE | GDK_ACTION_LINK));
        g_signal_connect(box, "drag-data-get", G_CALLBACK(OnDataGet), nullptr);
        g_signal_connect(box, "drag-begin",
                         G_CALLBACK(+[](GtkWidget*, GdkDragContext*, gpointer) { std::printf("begin\n"); }), nullptr);
        g_signal_connect(box, "drag-end",
                         G_CALLBACK(+[](GtkWidget*, GdkDragContext*, gpointer) { std::printf("end\n"); }), nullptr);
    }
    g_signal_connect(window, "map-event", G_CALLBACK(+[](GtkWidget*, GdkEvent*, gpointer) -> gboolean {
                         std::printf("ready\n");
                         return FALSE;
                     }),
                     nullptr);
    GIOChannel* in = g_io_channel_unix_new(0);
    g_io_add_watch(in, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR), OnStdin, nullptr);
    gtk_widget_show_all(window);
    gtk_main();
    g_io_channel_unref(in);
    return 0;
}
