#include "app/collection/ClipFragment.h"
#include "app/editor/session/EditorDropTargeting.h"
#include "app/editor/session/PageText.h"
#include "platform/core/CfHtml.h"
#include "tests/app/editor/session/SessionFixture.h"
#include "tests/support/FileSizeLimit.h"

#include <filesystem>

namespace ql {
namespace {

namespace fs = std::filesystem;

class ClipIntakeTest : public test::SessionFixture {
protected:
    TreeNode* parent = nullptr;
    TreeNode* target = nullptr;
    void SetUp() override
    {
        parent = AddPage(nullptr, "Top", "Top", "<html><body>top</body></html>\r\n");
        target = AddPage(parent, "Target", "Target", "<html><body>target</body></html>\r\n");
        AddPage(parent, "After", "After", "");
        window.SelectNode(target);
        clips->SetClipTarget(target);
    }
};

TEST_F(ClipIntakeTest, NewNodesInEachModeGetTheirPageAndTheSelection)
{
    clips->ClipMode = Attach::LastChild;
    TreeNode* child = clips->AddClip("child page", "  Child\r\n ");
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->Parent(), target);
    EXPECT_EQ(child->PageId(), "Child");
    EXPECT_EQ(Page("Child"), "child page\r\n");
    EXPECT_EQ(tree.Selected(), child);
    EXPECT_EQ(settings.CurrentPageFile, File("Child"));
    EXPECT_EQ(window.expanded, std::vector<TreeNode*>{target});
    EXPECT_EQ(temp.read("Collection/tvdata"), "Top\r\nTarget\r\nChild\r\nAfter\r\n");

    clips->ClipMode = Attach::LastSibling;
    clips->AddClip("s", "Sibling");
    clips->ClipMode = Attach::InsertBefore;
    clips->AddClip("b", "Before");
    EXPECT_EQ(test::TreeShape(tree), "Top -Before -Target --Child -After -Sibling ");

    // Inserted before the first top-level node, it becomes the first one.
    clips->SetClipTarget(parent);
    clips->AddClip("f", "");
    EXPECT_EQ(tree.TopLevel(0)->Text(), "(10:11:12)");
    EXPECT_EQ(tree.TopLevel(0)->PageId(), "(101112)");
}

TEST_F(ClipIntakeTest, AppendGoesBeforeBodyElseHtmlElseAtTheEnd)
{
    settings.DragCreateNew = false;
    views.active = kViewHtml;
    WritePage("Target", "<HTML><BODY>old</BODY></HTML>\r\n");
    EXPECT_EQ(clips->AddClip("<b>new</b>", "t"), nullptr);
    EXPECT_EQ(Page("Target"), "<HTML><BODY>old<b>new</b></BODY></HTML>\r\n");
    EXPECT_EQ(views.htmlLoadedFile, File("Target"));

    WritePage("Target", "<p>old</p></html>\r\n");
    clips->AddClip("X", "t");
    EXPECT_EQ(Page("Target"), "<p>old</p>X</html>\r\n");
    WritePage("Target", "no end tags\r\n");
    clips->AddClip("Y", "t");
    EXPECT_EQ(Page("Target"), "no end tags\r\nY\r\n");
    EXPECT_EQ(tree.Count(), 3u);

    views.active = kViewText;
    clips->AddClip("typed line", "t");
    EXPECT_EQ(views.text.substr(views.text.size() - 12), "typed line\r\n");
    EXPECT_TRUE(views.textModified);
}

TEST_F(ClipIntakeTest, AnUnreadablePageIsNeverReplacedByTheClip)
{
    settings.DragCreateNew = false;
    views.active = kViewBrowse;
    fs::resize_file(File("Target"), kMaxPageBytes + 1);  // sparse: too big to take in
    EXPECT_EQ(clips->AddClip("clip", "t"), nullptr);
    EXPECT_EQ(fs::file_size(File("Target")), kMaxPageBytes + 1);
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{kSavingFailed});
}

TEST_F(ClipIntakeTest, NoTargetOrAGoneTargetStoresNothing)
{
    clips->SetClipTarget(nullptr);
    EXPECT_EQ(clips->AddTextClip("lost"), nullptr);
    TreeNode* gone = tree.AddNode(parent, Attach::LastChild, "gone");
    clips->SetClipTarget(gone);
    tree.Delete(gone);
    EXPECT_EQ(clips->ClipTarget(), nullptr);
    EXPECT_EQ(clips->AddTextClip("lost"), nullptr);
    EXPECT_EQ(tree.Count(), 3u);
}

TEST_F(ClipIntakeTest, TheFirstClipOfANewCollectionBecomesItsFirstNode)
{
    tree.Clear();
    clips->SetClipTarget(nullptr);
    settings.DragCreateNew = false;  // even when aimed at the open page: there is none
    const std::string url = "http://ex.org/a.html";
    clips->DropHTMLClip(url, SplitPageLines(BuildCfHtml("<p>Erste Grüße</p>", url)), "Erste Grüße aus dem Netz");
    ASSERT_EQ(tree.Count(), 1u);
    TreeNode* first = tree.NodeAt(0);
    EXPECT_EQ(first->Parent(), nullptr);
    EXPECT_EQ(first->Text(), "Erste Grüße aus dem");  // as a new clip's node is named
    EXPECT_EQ(tree.Selected(), first);
    EXPECT_NE(Page(first->PageId()).find("<p>Erste Grüße</p>"), std::string::npos);
    EXPECT_EQ(temp.read("Collection/tvframe"), "Erste Grüße aus dem\r\n");

    // A tree not read yet is not known to be empty: nothing is stored over its files.
    tree.Clear();
    tree.SetLoaded(false);
    EXPECT_EQ(clips->AddTextClip("lost"), nullptr);
    EXPECT_EQ(temp.read("Collection/tvframe"), "Erste Grüße aus dem\r\n");
}

TEST_F(ClipIntakeTest, AnUnwritablePageEndsTheClipAndIsReported)
{
    const std::string collection = Dir();
    // A file in the place of the collection folder: nothing can be written below it.
    settings.CollectionDir = temp.write("not-a-folder", "x").string() + "/";
    TreeNode* node = clips->AddTextClip("text");
    EXPECT_EQ(node, nullptr);
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{kSavingFailed});
    EXPECT_EQ(tree.Selected(), target);
    EXPECT_EQ(settings.CurrentPageFile, PageFileName(collection, "Target"));
    EXPECT_EQ(tree.Count(), 3u);  // no node is kept without its page
}

// The open page's edits cannot be saved (the disk is full; the user is told). A clip that would
// go into that page, which the view then shows again, is not stored: the edits stay in the view.
TEST_F(ClipIntakeTest, AClipIsNotAppendedOverEditsThatCouldNotBeSaved)
{
    settings.DragCreateNew = false;
    views.active = kViewHtml;
    const std::string edits = "<html><body>" + std::string(4000, 'e') + "</body></html>";
    views.htmlDocument = edits;
    views.htmlDirty = true;
    const std::string page = Page("Target");
    {
        test::ScopedFileSizeLimit full(300);  // the short clip would fit into the page, the edits do not
        EXPECT_EQ(clips->AddTextClip("a clip"), nullptr);
        settings.DragUseUnicode = false;  // the clipboard road
        clips->DropHTMLClip("https://ex.org/", SplitPageLines(BuildCfHtml("<p>x</p>", "https://ex.org/")), "x");
    }
    EXPECT_EQ(Page("Target"), page);
    EXPECT_EQ(views.htmlDocument, edits);
    EXPECT_TRUE(views.htmlDirty);
    EXPECT_TRUE(window.actions.empty());
    EXPECT_EQ(dialogs.messages, std::vector<std::string>(2, kSavingFailed));
}

TEST_F(ClipIntakeTest, HtmlDropMakesAPageWithHeaderLines)
{
    const std::string url = "https://ex.org/news/day.html";
    StringList lines = SplitPageLines(BuildCfHtml("<p>Breaking <img src=\"a.png\"></p>", url));
    views.active = kViewBrowse;
    clips->DropHTMLClip(url, lines, "\r\n  Breaking news of the day, in full\r\nsecond line");
    TreeNode* node = tree.Selected();
    ASSERT_NE(node, target);
    EXPECT_EQ(node->Text(), "Breaking news of the");
    const std::string page = Page(node->PageId());
    EXPECT_EQ(page.rfind(ClipFromLine(url) + "\r\n" + ClipBaseLine(url) + "\r\n<HTML><BODY>", 0), 0u);
    EXPECT_EQ(clipSourceUrl, url);
    EXPECT_EQ(views.active, kViewHtml);  // switched without loading, then shown by the selection
    EXPECT_EQ(window.busy, 0);

    // No selected text: the title comes from the URL.
    clips->SetClipTarget(target);
    clips->DropHTMLClip(url, SplitPageLines(BuildCfHtml("<img src=x>", url)), " ");
    EXPECT_EQ(tree.Selected()->Text(), "https://ex.org/news/");
}

TEST_F(ClipIntakeTest, HtmlDropInTheTextViewStoresThePlainText)
{
    views.active = kViewText;
    settings.DragIncludeImage = true;
    clips->DropHTMLClip("https://ex.org/", SplitPageLines(BuildCfHtml("<b>bold</b>", "https://ex.org/")), "bold");
    EXPECT_EQ(Page(tree.Selected()->PageId()), "bold\r\n");
    EXPECT_EQ(session->PendingDocumentWork(), DocumentWork::None);  // nothing left to localise
}

TEST_F(ClipIntakeTest, HtmlDropWithPicturesKeepsThemAfterTheDocumentLoads)
{
    settings.DragIncludeImage = true;
    temp.write("cache/a[1].png", "PNG");
    cache["https://ex.org/news/a.png"] = temp.dir() + "cache/a[1].png";
    const std::string url = "https://ex.org/news/day.html";
    clips->DropHTMLClip(url, SplitPageLines(BuildCfHtml("<p><img src=\"a.png\"></p>", url)), "Pictures");
    TreeNode* node = tree.Selected();
    EXPECT_EQ(session->PendingDocumentWork(), DocumentWork::Localize);
    session->dtDocumentComplete();
    const std::string page = Page(node->PageId());
    EXPECT_NE(page.find("<img src=\"!images\\a1.png\">"), std::string::npos);
    EXPECT_EQ(page.find("<base "), std::string::npos);
    EXPECT_EQ(ini->ReadString(node->PageId(), "a1.png", ""), "1");
    EXPECT_EQ(views.active, kViewBrowse);

    // Appending to that page localises the new fragment only.
    settings.DragCreateNew = false;
    views.active = kViewHtml;
    WritePage(node->PageId(), "<html><body><img src=\"rel/old.png\"></body></html>\r\n");
    temp.write("cache/b.png", "PNG-B");
    cache["https://other.org/b.png"] = temp.dir() + "cache/b.png";
    clips->DropHTMLClip("https://other.org/p.html",
                        SplitPageLines(BuildCfHtml("<img src=\"b.png\">", "https://other.org/p.html")), "x");
    session->dtDocumentComplete();
    const std::string appended = Page(node->PageId());
    EXPECT_NE(appended.find("<img src=\"rel/old.png\">"), std::string::npos);
    EXPECT_NE(appended.find("<img src=\"!images\\b.png\">"), std::string::npos);
}

TEST_F(ClipIntakeTest, AppendedPicturesAreKeptWhenShowingThePageAddsTheStyleLine)
{
    settings.DragIncludeImage = true;
    settings.DragCreateNew = false;
    settings.AutoChangeTxtToHtml = true;
    settings.UseDiv = true;
    views.active = kViewHtml;
    const std::string older = "<html><body><a href=\"rel/old.html\">old</a><img src=\"rel/old.png\">";
    WritePage("Target", older + "</body></html>\r\n");
    temp.write("cache/b.png", "PNG-B");
    cache["https://other.org/b.png"] = temp.dir() + "cache/b.png";
    const std::string url = "https://other.org/p.html";
    clips->DropHTMLClip(url, SplitPageLines(BuildCfHtml("<img src=\"b.png\"><img src=\"gone.png\">", url)), "x");
    ASSERT_EQ(Page("Target").rfind(kZeroMarginStyleLine, 0), 0u);  // shown once: the page moved down a line
    session->dtDocumentComplete();
    const std::string page = Page("Target");
    EXPECT_NE(page.find("<img src=\"!images\\b.png\">"), std::string::npos) << page;
    EXPECT_NE(page.find("<img src=\"https://other.org/gone.png\">"), std::string::npos) << page;
    EXPECT_EQ(ini->ReadString("Target", "b.png", ""), "1");
    // The older content keeps its own addresses, and no base address re-points them.
    EXPECT_NE(page.find(older), std::string::npos) << page;
    EXPECT_EQ(page.find("<base "), std::string::npos) << page;

    // Nothing to copy in the new fragment: still no base line over the older content.
    clips->DropHTMLClip(url, SplitPageLines(BuildCfHtml("<img src=\"gone2.png\">", url)), "y");
    session->dtDocumentComplete();
    EXPECT_EQ(Page("Target").find("<base "), std::string::npos) << Page("Target");
    EXPECT_NE(Page("Target").find("<img src=\"https://other.org/gone2.png\">"), std::string::npos);
}

TEST_F(ClipIntakeTest, RemotePicturesGetTheBaseLineLater)
{
    settings.DragIncludeImage = true;
    const std::string url = "https://ex.org/news/day.html";
    clips->DropHTMLClip(url, SplitPageLines(BuildCfHtml("<img src=\"https://cdn.ex.org/remote.png\">", url)), "Remote");
    session->dtDocumentComplete();
    EXPECT_EQ(Page(tree.Selected()->PageId()).rfind(ClipBaseLine(url) + "\r\n" + ClipFromLine(url), 0), 0u);
}

TEST_F(ClipIntakeTest, ClipboardRoadPastesThenKeepsPictures)
{
    settings.DragUseUnicode = false;
    settings.DragIncludeImage = true;
    const std::string url = "https://ex.org/";
    clips->DropHTMLClip(url, SplitPageLines(BuildCfHtml("<p>x</p>", url)), "Pasted");
    EXPECT_EQ(window.actions, std::vector<ZoneAction>{ZoneAction::CopyAndPaste});
    TreeNode* node = tree.Selected();
    EXPECT_EQ(Page(node->PageId()), "");
    // The drop zone's action: copy in the source program, then a new document to paste into.
    temp.write("cache/p.gif", "GIF");
    cache["https://ex.org/p.gif"] = temp.dir() + "cache/p.gif";
    views.clipboardHtml = "<html><body><img src=\"https://ex.org/p.gif\"></body></html>";
    session->StartClipboardPaste();
    session->dtDocumentComplete();
    EXPECT_EQ(Page(node->PageId()), "<html><body><img src=\"!images\\p.gif\"></body></html>\r\n");
}

TEST_F(ClipIntakeTest, ClipboardRoadAppendsThePastedClipAfterTheOpenPage)
{
    settings.DragUseUnicode = false;
    settings.DragCreateNew = false;
    views.active = kViewHtml;
    const std::string older = "<html><body><p>older content</p><img src=\"!images\\old.png\">";
    WritePage("Target", older + "</body></html>\r\n");
    const std::string url = "https://ex.org/dir/day.html";
    clips->DropHTMLClip(url, SplitPageLines(BuildCfHtml("<p>clip</p>", url)), "clip");
    EXPECT_EQ(window.actions, std::vector<ZoneAction>{ZoneAction::CopyAndPaste});
    EXPECT_EQ(Page("Target"), older + "</body></html>\r\n");  // nothing to store before the paste
    // The drop zone's action: the source copies, a new document takes the clipboard.
    views.clipboardHtml = "<html><head></head><BODY class=\"x\"><p>clip</p><a href=\"next.html\">n</a></BODY></html>";
    session->StartClipboardPaste();
    session->dtDocumentComplete();
    const std::string page = Page("Target");
    EXPECT_EQ(page, older + ClipFromLine(url) +
                        "\r\n<p>clip</p><a href=\"https://ex.org/dir/next.html\">n</a></body></html>\r\n");
    EXPECT_EQ(tree.Count(), 3u);
    EXPECT_EQ(views.htmlLoadedFile, File("Target"));  // the view shows the page again, not the pasted document
    EXPECT_FALSE(views.htmlDirty);
    EXPECT_FALSE(session->SaveForced());
    // A later save of the view keeps the appended page.
    EXPECT_TRUE(session->SaveCurrentPage(""));
    EXPECT_EQ(Page("Target"), page);

    // The source copied nothing: nothing is appended, not even the header line.
    clips->DropHTMLClip(url, SplitPageLines(BuildCfHtml("<p>more</p>", url)), "more");
    views.clipboardHtml = "<html><body>\r\n</body></html>";
    session->StartClipboardPaste();
    session->dtDocumentComplete();
    EXPECT_EQ(Page("Target"), page);
    EXPECT_EQ(views.htmlLoadedFile, File("Target"));
    EXPECT_FALSE(views.htmlDirty);
}

TEST_F(ClipIntakeTest, ClipboardRoadAppendKeepsThePastedPictures)
{
    settings.DragUseUnicode = false;
    settings.DragCreateNew = false;
    settings.DragIncludeImage = true;
    views.active = kViewHtml;
    WritePage("Target", "<html><body><img src=\"rel/old.png\"></body></html>\r\n");
    const std::string url = "https://ex.org/";
    clips->DropHTMLClip(url, SplitPageLines(BuildCfHtml("<p>x</p>", url)), "x");
    temp.write("cache/p.gif", "GIF");
    cache["https://ex.org/p.gif"] = temp.dir() + "cache/p.gif";
    views.clipboardHtml = "<html><body><img src=\"https://ex.org/p.gif\"></body></html>";
    session->StartClipboardPaste();
    session->dtDocumentComplete();  // the paste, appended; the page is loaded again
    EXPECT_EQ(session->PendingDocumentWork(), DocumentWork::Localize);
    session->dtDocumentComplete();  // the page's load: the appended pictures are kept
    const std::string page = Page("Target");
    EXPECT_NE(page.find("<img src=\"rel/old.png\">"), std::string::npos) << page;
    EXPECT_NE(page.find("<img src=\"!images\\p.gif\">"), std::string::npos) << page;
    EXPECT_EQ(page.find("<base "), std::string::npos) << page;
    EXPECT_EQ(ini->ReadString("Target", "p.gif", ""), "1");
}

TEST_F(ClipIntakeTest, AppendWithoutPicturesMakesTheFragmentAbsoluteInsteadOfAddingABase)
{
    settings.DragCreateNew = false;
    views.active = kViewHtml;
    const std::string older = "<html><body><img src=\"!images\\old.png\">";
    WritePage("Target", older + "</body></html>\r\n");
    const std::string url = "https://other.org/dir/p.html";
    clips->DropHTMLClip(
        url, SplitPageLines(BuildCfHtml("<img src=\"b.png\"><a href=\"/top.html\">t</a><a href=\"#here\">h</a>", url)),
        "x");
    const std::string page = Page("Target");
    EXPECT_EQ(page.find("<base "), std::string::npos) << page;
    EXPECT_EQ(page.rfind(older + ClipFromLine(url) + "\r\n", 0), 0u) << page;
    EXPECT_NE(
        page.find(
            "<img src=\"https://other.org/dir/b.png\"><a href=\"https://other.org/top.html\">t</a><a href=\"#here\">h</a>"),
        std::string::npos)
        << page;
    EXPECT_FALSE(fs::exists(settings.ImagesDir));
}

TEST_F(ClipIntakeTest, AFragmentWithItsOwnBaseGetsNoSecondOne)
{
    const std::string url = "https://ex.org/a.html";
    clips->DropHTMLClip(url, SplitPageLines(BuildCfHtml("<base href=\"https://ex.org/own/\"><p>x</p>", url)), "x");
    const std::string page = Page(tree.Selected()->PageId());
    EXPECT_EQ(page.find("<base "), page.rfind("<base ")) << page;
    EXPECT_NE(page.find("<base href=\"https://ex.org/own/\">"), std::string::npos);
}

TEST_F(ClipIntakeTest, TitleComesFromTheFirstLineOfTheSelection)
{
    const std::string url = "https://ex.org/a.html";
    clips->DropHTMLClip(url, SplitPageLines(BuildCfHtml("<p>x</p>", url)), "Short\r\nthe second line is long");
    EXPECT_EQ(tree.Selected()->Text(), "Short");
}

TEST_F(ClipIntakeTest, EditorHidesAfterAClipOnlyWhenAskedAndComesToTheTopOtherwise)
{
    clips->AddTextClip("kept visible");
    EXPECT_FALSE(window.hidden);
    EXPECT_EQ(window.shownForDrag, 1);
    settings.DragHideAfterSave = true;
    clips->SetClipTarget(target);
    clips->AddTextClip("then hidden");
    EXPECT_TRUE(window.hidden);
}

TEST_F(ClipIntakeTest, LinkAndTextClips)
{
    TreeNode* link = clips->AddUrlClip("https://ex.org/a?b=1&c=\"2\"", "A rather long link title here");
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->Text(), "A rather long link t");
    EXPECT_EQ(Page(link->PageId()),
              "<!-- From: \"https://ex.org/a?b=1&c=%222%22\" -->\r\n"
              "<a href=\"https://ex.org/a?b=1&amp;c=&quot;2&quot;\">A rather long link title here</a><br>\r\n");

    clips->SetClipTarget(target);
    TreeNode* text = clips->AddTextClip("line one\r\nline two and more");
    EXPECT_EQ(text->Text(), "line one  line two a");
    EXPECT_EQ(text->PageId(), "line one  line two a");
}

TEST_F(ClipIntakeTest, AddClipboardContentsNamesTheNode)
{
    auto addNode = [&]() -> TreeNode* {
        TreeNode* n = tree.AddNode(target, Attach::LastSibling, "typed title");
        tree.SetPageId(n, session->MakeNodeFileName(*n));
        window.SelectNode(n);
        return n;
    };
    clips->AddClipboardBClick([]() -> TreeNode* { return nullptr; });
    EXPECT_EQ(tree.Count(), 3u);

    window.clipboard = "";
    clips->AddClipboardBClick(addNode);
    EXPECT_EQ(tree.Selected()->Text(), "New");
    EXPECT_EQ(tree.Selected()->PageId(), "typed title");
    EXPECT_EQ(session->PendingDocumentWork(), DocumentWork::PasteThenLocalize);
    EXPECT_EQ(views.active, kViewHtml);

    window.clipboard = "Clipboard words that run long";
    clips->AddClipboardBClick(addNode);
    EXPECT_EQ(tree.Selected()->Text(), "Clipboard words that");
}

TEST_F(ClipIntakeTest, EditorDragTargetsTheNodeUnderTheCursor)
{
    EXPECT_EQ(EditorClipModeForHit(kHitOnLabel), Attach::LastChild);
    EXPECT_EQ(EditorClipModeForHit(kHitOnIcon | kHitOnIndent), Attach::LastChild);
    EXPECT_EQ(EditorClipModeForHit(kHitNowhere), Attach::LastSibling);
    EXPECT_EQ(EditorClipModeForHit(kHitOnIndent), Attach::LastSibling);
    EXPECT_EQ(EditorClipModeForHit(kHitOnButton), Attach::LastSibling);
    EXPECT_EQ(EditorClipModeForHit(kHitOnRight), Attach::LastChild);

    settings.DragCreateNew = false;
    EditorDropTargeting drag(*clips, settings, window);
    TreeNode* after = tree.NodeAt(2);
    drag.DragEnter();
    drag.DragOver(after, kHitOnIndent);
    EXPECT_TRUE(settings.DragCreateNew);
    EXPECT_EQ(clips->ClipTarget(), after);
    EXPECT_EQ(clips->ClipMode, Attach::LastSibling);
    EXPECT_EQ(window.status, "After");
    EXPECT_EQ(window.highlighted, after);
    EXPECT_EQ(window.actions, std::vector<ZoneAction>{ZoneAction::CopyOnly});

    // Resting on the target expands it at the first tick, then every second tick.
    EXPECT_EQ(drag.TimerTick(after), after);
    EXPECT_EQ(drag.TimerTick(after), nullptr);
    EXPECT_EQ(drag.TimerTick(after), after);
    EXPECT_EQ(drag.TimerTick(parent), nullptr);

    drag.DragLeave();
    EXPECT_EQ(clips->ClipTarget(), nullptr);
    EXPECT_EQ(window.status, "");
    EXPECT_FALSE(drag.TimerEnabled());
}

}  // namespace
}  // namespace ql
