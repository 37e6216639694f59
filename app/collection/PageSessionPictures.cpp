// What the HTML editing control's document completion starts: pasting the clipboard into a new
// document, and keeping the pictures of a new clip.
#include "app/collection/PageSession.h"

#include "app/collection/ClipFragment.h"
#include "app/collection/PageText.h"
#include "app/collection/TextUtil.h"
#include "platform/core/SafeFile.h"

namespace ql {

void PageSession::StartClipboardPaste()
{
    pendingPictures_ = PendingPictures::WholePage(ctx_.settings.CurrentPageFile, ctx_.settings.CurrentPageFile);
    HtmlEditorTag = kTagPasteThenLocalize;
    views_.HtmlNewDocument();
}

void PageSession::ArmPictureLocalization(const std::string& pageFile, std::size_t begin, std::size_t end, std::string fragment)
{
    HtmlEditorTag = kTagLocalize;
    pendingPictures_ = PendingPictures{pageFile, pageFile, begin, end, std::move(fragment)};
}

void PageSession::dtDocumentComplete()
{
    if (HtmlEditorTag == kTagPasteThenLocalize) {
        views_.HtmlPaste();
        HtmlEditorTag = kTagLocalize;
        // The pasted document becomes the page, so that its pictures are taken from the file.
        ForceSave = true;
        SaveCurrentPage("");
    }
    if (HtmlEditorTag == kTagLocalize)
        LocalizeClipResources(true);
    HtmlEditorTag = 0;
}

void PageSession::LocalizeClipResources(bool withLinks)
{
    TSettings& s = ctx_.settings;
    PendingPictures job = pendingPictures_.value_or(PendingPictures::WholePage(s.CurrentPageFile, s.CurrentPageFile));
    pendingPictures_.reset();
    // Meant for a page that is no longer current (its selection was refused): leave it.
    if (job.target.empty() || job.target != s.CurrentPageFile)
        return;

    BusyCursor busy(window_);
    auto source = ReadFileBytes(job.source, kMaxPageBytes);
    if (!source)
        return;
    const std::string& url = ctx_.clipSourceUrl;
    bool changed = false;
    bool rewritten = false;  // an address changed, if only made absolute
    std::string page = *source;
    const bool wholePage = job.end == std::string::npos;
    if (!ContainsNoCase(page, "<base ")) {
        std::size_t begin = 0, end = page.size();
        if (!wholePage) {
            // Only the newly added fragment, and only while the file still holds it.
            begin = LocateFragment(page, job.fragment, job.begin);
            if (begin == std::string::npos)
                begin = end = 0;
            else
                end = begin + job.fragment.size();
        }
        PictureLocalizer localizer(s.ImagesDir, ctx_.imagesIni, findCachedFile_);
        LocalizeResult result = localizer.Localize(page, begin, end, url, s.CurrentNodeId, withLinks);
        changed = result.changed;
        rewritten = result.html != page;
        page = std::move(result.html);
    }
    // A whole page gets a base address instead when nothing was copied; an appended fragment
    // cannot (it would re-point the older content), so its absolute addresses are kept.
    if (changed || (rewritten && !wholePage) || job.source != job.target) {
        if (!WritePageFile(job.target, page)) {
            ReportSaveFailure();
            return;
        }
        // The file now holds what the view showed and more: the view's copy is not saved back.
        ForceSave = false;
        views_.HtmlMarkSaved();
    }
    if (!changed && wholePage && !HomepageImport && !url.empty()) {
        if (auto text = ReadFileBytes(job.target, kMaxPageBytes)) {
            if (!ContainsNoCase(*text, "<base ") && text->find("From: \"" + HeaderSafeUrl(url) + "\"") != std::string::npos) {
                StringList lines = SplitPageLines(*text);
                lines.insert(lines.begin(), ClipBaseLine(url));
                SaveTextToFile(JoinPageLines(lines), job.target);
            }
        }
    }
    NewClipPending = true;
    views_.SwitchView(kViewBrowse, true);
}

}  // namespace ql
