// WebViewEngine: printing, with or without the dialog, to the default printer or a PDF file.
#include "platform/gui/WebUrls.h"
#include "platform/gui/WebViewEngineImpl_wx.h"

#include <glib/gi18n.h>

namespace ql::web {

bool WebViewEngine::Print(bool promptUser)
{
    PrintJob job;
    job.withDialog = promptUser;
    if (!promptUser)
        job.outputFile = printOutputFile;
    job.pageSetup = PageSetupSource ? PageSetupSource() : ReadEnginePageSetup(OptionRoot);
    return PrintPage(job);
}

bool WebViewEngine::PrintPage(const PrintJob& job)
{
    if (!d_->Live())
        return false;
    WebKitPrintOperation* op = webkit_print_operation_new(d_->native);
    GtkPrintSettings* ps = gtk_print_settings_new();
    if (!job.outputFile.empty()) {
        // The toolkit's file printer, by its (translated) name.
        gtk_print_settings_set_printer(ps, g_dgettext("gtk30", "Print to File"));
        gtk_print_settings_set(ps, GTK_PRINT_SETTINGS_OUTPUT_FILE_FORMAT, "pdf");
        gtk_print_settings_set(ps, GTK_PRINT_SETTINGS_OUTPUT_URI, FilePathToUrl(job.outputFile).c_str());
    }
    webkit_print_operation_set_print_settings(op, ps);
    g_object_unref(ps);
    if (job.pageSetup) {
        GtkPageSetup* setup = gtk_page_setup_new();
        gtk_page_setup_set_orientation(setup, job.pageSetup->landscape ? GTK_PAGE_ORIENTATION_LANDSCAPE
                                                                       : GTK_PAGE_ORIENTATION_PORTRAIT);
        gtk_page_setup_set_left_margin(setup, job.pageSetup->leftMm, GTK_UNIT_MM);
        gtk_page_setup_set_right_margin(setup, job.pageSetup->rightMm, GTK_UNIT_MM);
        gtk_page_setup_set_top_margin(setup, job.pageSetup->topMm, GTK_UNIT_MM);
        gtk_page_setup_set_bottom_margin(setup, job.pageSetup->bottomMm, GTK_UNIT_MM);
        webkit_print_operation_set_page_setup(op, setup);
        g_object_unref(setup);
    }
    struct Report {
        std::weak_ptr<WebViewEngine> engine;
        std::string error;
    };
    auto* report = new Report{weak_from_this(), ""};
    gulong failed = g_signal_connect(op, "failed", G_CALLBACK(+[](WebKitPrintOperation*, GError* e, gpointer p) {
                                         static_cast<Report*>(p)->error = e && e->message ? e->message : "failed";
                                     }),
                                     report);
    g_object_ref(op);  // held until "finished"
    gulong finished = g_signal_connect_data(
        op, "finished", G_CALLBACK(+[](WebKitPrintOperation* o, gpointer p) {
            auto* r = static_cast<Report*>(p);
            if (auto e = r->engine.lock(); e && e->OnPrintFinished)
                Guarded([&] { e->OnPrintFinished(r->error.empty(), r->error); });
            g_object_unref(o);
        }),
        report, [](gpointer p, GClosure*) { delete static_cast<Report*>(p); }, GConnectFlags(0));
    bool started = true;
    if (job.withDialog) {
        GtkWidget* top = gtk_widget_get_toplevel(GTK_WIDGET(d_->native));
        WebKitPrintOperationResponse r = webkit_print_operation_run_dialog(op, GTK_IS_WINDOW(top) ? GTK_WINDOW(top)
                                                                                                  : nullptr);
        if (r != WEBKIT_PRINT_OPERATION_RESPONSE_PRINT) {
            started = false;
            g_signal_handler_disconnect(op, failed);
            g_signal_handler_disconnect(op, finished);
            g_object_unref(op);
        }
    } else {
        webkit_print_operation_print(op);
    }
    g_object_unref(op);
    return started;
}

}  // namespace ql::web
