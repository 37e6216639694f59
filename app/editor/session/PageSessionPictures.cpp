// What the HTML editing control's document completion starts: pasting the clipboard into a new
// document (which becomes a new clip's page, or is appended to the open page), and keeping the
// pictures of a new clip.
#include "app/editor/session/PageSession.h"

#include "app/collection/ClipFragment.h"
#include "app/collection/TextUtil.h"
#include "app/editor/session/PageText.h"
#include "platform/core/SafeFile.h"

#include <utility>

namespace ql {

void PageSession::StartClipboardPaste()
{
    if (clipboardAppend_)
        pendingPictures_.reset();  // armed for the fragment once it is in the page
    else
        pendingPictures_ = PendingPictures::WholePage(ctx_.settings.CurrentPageFile, ctx_.settings.CurrentPageFile);
    documentWork_ = DocumentWork::PasteThenLocalize;
    views_.HtmlNewDocument();
}

bool PageSession::AppendClipToPage(const std::string& pageFile, const std::string& content, bool keepPictures)
{
    // A page that exists but cannot be read is never replaced by the clip alone.
    std::optional<std::string> page = FileExists(pageFile) ? ReadFileBytes(pageFile, kMaxPageBytes) : std::string();
    if (!page) {
        ReportSaveFailure();
        return false;
    }
    const PageAppend appended = ql::AppendClipToPage(*page, content);
    if (!SavePageText(appended.text, pageFile)) {
        ReportSaveFailure();
        return false;
    }
    if (keepPictures && pageFile == ctx_.settings.CurrentPageFile) {
        ArmPictureLocalization(
            pageFile, appended.fragmentBegin, appended.fragmentEnd,
            appended.text.substr(appended.fragmentBegin, appended.fragmentEnd - appended.fragmentBegin));
    }
    ShowCurrentPage("");
    return true;
}

void PageSession::FinishClipboardAppend(const ClipboardAppend& job)
{
    // The new document only carried the clipboard: it is never saved over the page, and the
    // view shows the page again once the clip is in it.
    std::string fragment = DocumentBodyHtml(views_.HtmlDocumentHtml());
    MarkHtmlViewSaved();
    if (TrimControls(fragment).empty()) {
        ShowCurrentPage("");  // the source copied nothing: the page stays as it is
        return;
    }
    const bool keepPictures = job.keepPictures && job.pageFile == ctx_.settings.CurrentPageFile;
    if (!keepPictures)
        fragment = MakeClipAddressesAbsolute(fragment, job.url);
    ctx_.clipSourceUrl = job.url;
    if (AppendClipToPage(job.pageFile, Enclose(ClipFromLine(job.url), "\r\n", fragment), keepPictures)) {
        SaveTree();
        NotePageSaved();
    }
}

void PageSession::ArmPictureLocalization(const std::string& pageFile, std::size_t begin, std::size_t end,
                                         std::string fragment)
{
    documentWork_ = DocumentWork::Localize;
    pendingPictures_ = PendingPictures{pageFile, pageFile, begin, end, std::move(fragment)};
}

void PageSession::dtDocumentComplete()
{
    if (documentWork_ == DocumentWork::PasteThenLocalize) {
        views_.HtmlPaste();
        if (std::optional<ClipboardAppend> job = std::exchange(clipboardAppend_, std::nullopt)) {
            documentWork_ = DocumentWork::None;
            FinishClipboardAppend(*job);
            return;
        }
        documentWork_ = DocumentWork::Localize;
        // The pasted document becomes the page, so that its pictures are taken from the file.
        ForceNextSave();
        if (!SaveCurrentPage("")) {
            // The clip stays in the view, unsaved, where the user can save it again.
            documentWork_ = DocumentWork::None;
            pendingPictures_.reset();
            return;
        }
    }
    if (documentWork_ == DocumentWork::Localize)
        LocalizeClipResources(true);
    documentWork_ = DocumentWork::None;
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
        // The page is still written: its pictures are in the images folder, only their records
        // (which export and deletion read) are missing.
        if (!result.recordsSaved)
            ReportSaveFailure();
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
        MarkHtmlViewSaved();
    }
    if (!changed && wholePage && !homepageImport_ && !url.empty()) {
        if (auto text = ReadFileBytes(job.target, kMaxPageBytes)) {
            if (!ContainsNoCase(*text, "<base ") &&
                text->find("From: \"" + HeaderSafeUrl(url) + "\"") != std::string::npos) {
                StringList lines = SplitPageLines(*text);
                lines.insert(lines.begin(), ClipBaseLine(url));
                if (!SavePageText(JoinPageLines(lines), job.target))
                    ReportSaveFailure();  // the page keeps its pictures' addresses unresolved by a base
            }
        }
    }
    ExpectNewClip();
    views_.SwitchView(kViewBrowse, true);
}

}  // namespace ql
