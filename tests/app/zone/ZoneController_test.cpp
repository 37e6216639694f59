#include "app/zone/ZoneController.h"
#include "app/zone/ZoneTargeting.h"
#include "tests/app/editor/session/SessionFixture.h"
#include "tests/app/zone/FakeZone.h"
#include "tests/support/FakeLauncher.h"

#include <gtest/gtest.h>

namespace ql::test {
namespace {

class ZoneControllerTest : public SessionFixture {
protected:
    FakeZoneWindow zoneWindow;
    FakeActionTimer timer;
    FakeLauncher launcher;
    FakeZoneEditor* editor = nullptr;
    int settingsSaves = 0;
    bool settingsSaveResult = true;
    bool tray = true;
    std::unique_ptr<ZoneController> zone;

    void Make(std::vector<std::string> args = {})
    {
        ZoneControllerDeps deps{settings, zoneWindow, dialogs, launcher, timer};
        deps.editorFactory = [this](const ZoneCommandRunner&) {
            auto e = std::make_unique<FakeZoneEditor>(*session, *clips, views);
            editor = e.get();
            return std::unique_ptr<ZoneEditor>(std::move(e));
        };
        deps.args = std::move(args);
        deps.trayAvailable = tray;
        deps.saveSettings = [this] {
            ++settingsSaves;
            return settingsSaveResult;
        };
        deps.appDir = temp.dir();
        zone = std::make_unique<ZoneController>(std::move(deps));
        timer.onTick = [this] { zone->Timer1Timer(); };
    }

    void SaveTree() { ASSERT_EQ(session->SaveTreeFiles(tree), TreeSave::Saved); }
};

TEST_F(ZoneControllerTest, TwoHandOversWithin100MsOpenOneDialogWithTheSecondValuesAndTheirTextAsTaken)
{
    Make();
    temp.write("clip1.html", "first");
    temp.write("clip2.html", "second");
    EXPECT_EQ(zone->HandOver(temp.dir() + "clip1.html\r\nhttp://one/\r\nOne"), 0);
    timer.Advance(50);
    zone->HandOver(temp.dir() + "clip2.html\nhttp://two/\nTwo");
    // A later capture rewriting the clip file cannot change what was taken.
    temp.write("clip2.html", "rewritten");
    timer.Advance(200);
    ASSERT_EQ(zoneWindow.log.size(), 2u);
    EXPECT_EQ(zoneWindow.log[0], "front");
    EXPECT_EQ(zoneWindow.log[1], "save homepage " + temp.dir() + "clip2.html|http://two/|Two|second\r\n");
    EXPECT_TRUE(zone->PendingHandOvers().empty());
    EXPECT_GE(editor->formShows, 1);
}

TEST_F(ZoneControllerTest, AHandOverDuringTheDialogOpensItsOwnDialogAfterTheFirstCloses)
{
    Make();
    for (const char* name : {"a.html", "b.html", "c.html"})
        temp.write(name, name);
    int depth = 0, maxDepth = 0;
    std::vector<std::string> dialogs;
    zoneWindow.onSaveHomepage = [&](const ClipHandOver& h) {
        dialogs.push_back(h.Title);
        maxDepth = std::max(maxDepth, ++depth);
        if (h.Title == "A") {
            zone->HandOver(temp.dir() + "b.html\r\nu\r\nB");
            zone->HandOver(temp.dir() + "c.html\r\nu\r\nC");
            timer.Advance(300);  // the timer keeps running while the dialog is modal
        }
        --depth;
    };
    zone->HandOver(temp.dir() + "a.html\r\nu\r\nA");
    timer.Advance(1000);
    EXPECT_EQ(dialogs, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(maxDepth, 1);
}

// An empty frame, a file that is not there or a folder: no clip to save, so no dialog and no
// node; the sender hears the refusal and says so.
TEST_F(ZoneControllerTest, AHandOverWithoutAReadableClipFileIsRefused)
{
    Make();
    temp.write("folder/inside", "x");
    const auto refused = static_cast<std::int64_t>(HandOverReply::NoClipFile);
    EXPECT_EQ(zone->HandOver(""), refused);
    EXPECT_EQ(zone->HandOver(temp.dir() + "missing.html\r\nhttp://u/\r\nT"), refused);
    EXPECT_EQ(zone->HandOver(temp.dir() + "folder"), refused);
    timer.Advance(300);
    EXPECT_TRUE(zoneWindow.log.empty());
    EXPECT_TRUE(zone->PendingHandOvers().empty());
    EXPECT_EQ(HandOverSendForReply(refused), HandOverSend::Refused);
    EXPECT_NE(HandOverFailureLine(HandOverSend::Refused).find("refused"), std::string::npos);
    EXPECT_EQ(HandOverSendForReply(static_cast<std::int64_t>(HandOverReply::Taken)), HandOverSend::Delivered);

    temp.write("empty.html", "");  // an empty clip is still a clip
    EXPECT_EQ(zone->HandOver(temp.dir() + "empty.html"), static_cast<std::int64_t>(HandOverReply::Taken));
    timer.Advance(100);
    EXPECT_EQ(zoneWindow.log.back(), "save homepage " + temp.dir() + "empty.html|||");
}

TEST_F(ZoneControllerTest, StartWithAFileArgumentShowsTheDialogNotTheEditor)
{
    settings.ShowMainForm = true;
    settings.showDragForm = true;
    temp.write("c.html", "<p>x</p>");
    Make({temp.dir() + "c.html", "http://u/", "T"});
    zone->FormShow();
    timer.Advance(100);
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(editor->shown);
    EXPECT_EQ(zoneWindow.log.back(), "save homepage " + temp.dir() + "c.html|http://u/|T|<p>x</p>\r\n");
    EXPECT_EQ(zoneWindow.position, (ZonePoint{1200, 10}));
    EXPECT_EQ(zoneWindow.panel.Height, 720);
    EXPECT_EQ(zoneWindow.hint, kZoneHint);
    EXPECT_EQ(zoneWindow.hintPause, 1000);
}

TEST_F(ZoneControllerTest, StartUpHidesTheZoneAtTheFirstTickUnlessNoNotificationAreaExists)
{
    settings.ShowMainForm = true;
    Make({"forcehide"});
    zone->FormShow();
    EXPECT_TRUE(zoneWindow.visible);
    EXPECT_TRUE(zoneWindow.hoverTimer);
    EXPECT_EQ(zoneWindow.hoverInterval, 1);
    zone->ApplicationDeactivate();  // an early collapse keeps the pending hide
    EXPECT_TRUE(zoneWindow.hoverTimer);
    zone->TVTimerTimer();
    EXPECT_FALSE(zoneWindow.visible);
    EXPECT_FALSE(zoneWindow.hoverTimer);
    timer.Advance(500);
    EXPECT_EQ(editor, nullptr);  // forcehide: no editor action was armed

    tray = false;
    zoneWindow.visible = true;
    Make();
    zone->FormShow();
    zone->TVTimerTimer();
    EXPECT_TRUE(zoneWindow.visible);
    zone->HideDrogZone1Click();  // showDragForm turns on: visible
    zone->HideDrogZone1Click();  // and off: still visible without a tray
    EXPECT_TRUE(zoneWindow.visible);
}

TEST_F(ZoneControllerTest, ExitRunsEveryStepEvenWhenOneFailsAndSaysWhich)
{
    tree.Select(AddPage(nullptr, "A", "a", "x"));
    Make();
    zone->EnsureEditorForm();
    editor->placementSaves = false;
    settingsSaveResult = false;
    zone->PlaceZone();
    zoneWindow.position = {321, 123};
    std::string report = zone->Exit1Click();
    EXPECT_EQ(settingsSaves, 1);
    EXPECT_TRUE(zoneWindow.terminated);
    EXPECT_EQ(settings.DragZoneLeft, 321);
    EXPECT_EQ(settings.DragZoneTop, 123);
    EXPECT_NE(report.find("placement"), std::string::npos);
    EXPECT_NE(report.find("gleanhoard.ini"), std::string::npos);
    EXPECT_EQ(report.find("collection tree"), std::string::npos);
    // A second request (a signal during exit) does nothing more.
    EXPECT_EQ(zone->Exit1Click(), "");
    EXPECT_EQ(settingsSaves, 1);
}

// From outside (a signal, the end of the session) nobody may be there to answer a box: the
// editor's boxes stop waiting before the first save; the Exit command keeps them.
TEST_F(ZoneControllerTest, AnExitFromOutsideRunsItsSavesWithoutBoxesThatWait)
{
    Make();
    zone->EnsureEditorForm();
    zone->Exit1Click(ZoneController::ExitBy::Outside);
    EXPECT_TRUE(editor->savedUnattended);
    EXPECT_TRUE(zoneWindow.terminated);

    Make();
    zone->EnsureEditorForm();
    zone->Exit1Click();
    EXPECT_FALSE(editor->unattended);
}

TEST_F(ZoneControllerTest, ExitWithoutAnEditorSavesTheSettings)
{
    Make();
    EXPECT_EQ(zone->Exit1Click(), "");
    EXPECT_EQ(settingsSaves, 1);
    EXPECT_EQ(editor, nullptr);
}

// An exit before the zone was put at its stored place (a signal in the first moments) keeps that
// place; once placed, where the zone is now is what is saved.
TEST_F(ZoneControllerTest, TheStoredPlaceIsKeptByAnExitBeforeTheZoneWasPlaced)
{
    settings.DragZoneLeft = 300;
    settings.DragZoneTop = 200;
    Make();
    zoneWindow.position = {781, 583};  // where a window manager shows a new window
    EXPECT_EQ(zone->Exit1Click(), "");
    EXPECT_EQ(settings.DragZoneLeft, 300);
    EXPECT_EQ(settings.DragZoneTop, 200);

    Make();
    zone->FormShow();
    EXPECT_EQ(zoneWindow.position, (ZonePoint{300, 200}));
    zoneWindow.position = {40, 50};
    EXPECT_EQ(zone->Exit1Click(), "");
    EXPECT_EQ(settings.DragZoneLeft, 40);
    EXPECT_EQ(settings.DragZoneTop, 50);
}

TEST_F(ZoneControllerTest, ClickingThePictureTogglesTheEditorAndMovingItByAPixelMovesTheZone)
{
    Make();
    zoneWindow.position = {500, 300};
    zone->Image1MouseDown({10, 10}, {510, 310});
    zone->Image1MouseUp(true, false, {510, 310});
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->shown);
    zone->Image1MouseDown({10, 10}, {510, 310});
    zone->Image1MouseMove({11, 10});
    zone->Image1MouseUp(true, false, {511, 310});
    EXPECT_EQ(zoneWindow.position, (ZonePoint{501, 300}));
    EXPECT_TRUE(editor->shown);
    editor->minimized = true;
    zone->Image1DblClick();
    EXPECT_FALSE(editor->minimized);
    EXPECT_TRUE(editor->shown);
}

TEST_F(ZoneControllerTest, DragOverTargetsTheNodeUnderTheCursorAndTheBarAppends)
{
    TreeNode* a = AddPage(nullptr, "A", "a", "<html><body>a</body></html>");
    TreeNode* b = AddPage(a, "B", "b", "<html><body>b</body></html>");
    SaveTree();
    tree.Clear();
    tree.SetLoaded(false);
    Make();

    zone->DragOver();  // copies the tree, then expanding empties it
    EXPECT_TRUE(zone->Expanded());
    EXPECT_TRUE(zoneWindow.expanded);
    EXPECT_TRUE(zone->ZoneTree().Empty());
    ASSERT_NE(editor, nullptr);
    a = tree.NodeAt(0);
    b = tree.NodeAt(1);
    EXPECT_EQ(tree.Selected(), a);  // the editor's first node was selected

    // Second move: the copy stays; the cursor on B's indent inserts before it.
    zoneWindow.hit = {};
    zone->DragOver();
    ASSERT_EQ(zone->ZoneTree().Count(), 2u);
    zoneWindow.hit = ZoneTreeHit{zone->ZoneTree().NodeAt(1), true, kHitOnIndent, false};
    zone->DragOver();
    EXPECT_TRUE(zone->DropAllowed());
    EXPECT_EQ(clips->ClipTarget(), b);
    EXPECT_EQ(clips->ClipMode, Attach::InsertBefore);
    EXPECT_TRUE(settings.DragCreateNew);
    EXPECT_EQ(zoneWindow.status, "Insert to \"B\"");

    zoneWindow.hit = ZoneTreeHit{nullptr, false, 0, true};
    zone->DragOver();
    EXPECT_FALSE(settings.DragCreateNew);
    EXPECT_EQ(zoneWindow.status, kAppendStatus);

    // Dropped text on the bar goes into the page open in the editor.
    settings.CurrentPageFile = File("a");
    zone->DropText("appended words");
    EXPECT_FALSE(zone->Expanded());
    EXPECT_NE(Page("a").find("appended words"), std::string::npos);
    EXPECT_EQ(tree.Count(), 2u);
}

TEST_F(ZoneControllerTest, WhatTheStatusSaysAtTheDropIsWhatTheDropDoes)
{
    AddPage(AddPage(nullptr, "A", "a", "a"), "B", "b", "b");
    AddPage(nullptr, "C", "c", "c");
    SaveTree();
    tree.Clear();
    tree.SetLoaded(false);
    Make();
    auto node = [&](const char* caption) {
        TreeNode* found = nullptr;
        zone->ZoneTree().ForEach([&](TreeNode& n) { found = n.Text() == caption ? &n : found; });
        return found;
    };
    // Aims at `hit` (after passing over `via`, the node last under the pointer), checks the
    // status and drops a text there.
    auto dropAt = [&](const char* via, ZoneTreeHit hit, const std::string& status, const std::string& text) {
        zoneWindow.hit = {};
        zone->DragOver();
        zone->DragOver();
        zoneWindow.hit = ZoneTreeHit{node(via), true, kHitOnLabel, false};
        zone->DragOver();
        zoneWindow.hit = hit;
        zone->DragOver();
        EXPECT_EQ(zoneWindow.status, status) << text;
        zone->DropText(text);
    };
    dropAt("B", ZoneTreeHit{node("B"), true, kHitOnLabel, false}, "Add ChildNode to \"B\"", "child");
    EXPECT_EQ(TreeShape(tree), "A -B --child C ");
    dropAt("C", ZoneTreeHit{node("C"), true, kHitOnIndent, false}, "Insert to \"C\"", "before");
    EXPECT_EQ(TreeShape(tree), "A -B --child before C ");
    dropAt("A", ZoneTreeHit{node("A"), true, kHitOnButton, false}, "Insert to \"A\"", "first");
    EXPECT_EQ(TreeShape(tree), "first A -B --child before C ");
    // Below the last row no node is under the pointer: the one passed last gets a sibling.
    dropAt("B", ZoneTreeHit{nullptr, true, kHitNowhere, false}, "Add SiblingNode to \"B\"", "sibling");
    EXPECT_EQ(TreeShape(tree), "first A -B --child -sibling before C ");
    // Off the tree (over the status line) a drop is a child again, and the status says so.
    dropAt("C", ZoneTreeHit{nullptr, false, 0, false}, "Add ChildNode to \"C\"", "off the tree");
    EXPECT_EQ(TreeShape(tree), "first A -B --child -sibling before C -off the tree ");
}

TEST_F(ZoneControllerTest, InAnEmptyCollectionTheZoneSaysADropMakesTheFirstNodeAndItDoes)
{
    Make();
    zone->DragOver();
    zoneWindow.hit = ZoneTreeHit{nullptr, true, kHitNowhere, false};
    zone->DragOver();
    EXPECT_EQ(zoneWindow.status, kFirstNodeStatus);
    zone->DropText("the very first clip");
    EXPECT_EQ(TreeShape(tree), "the very first clip ");
}

TEST_F(ZoneControllerTest, ADropOnTheTreeMakesAChildPageAndADragFromTheEditorStoresNothing)
{
    AddPage(nullptr, "A", "a", "<html><body>a</body></html>");
    Make();
    zone->DragOver();
    zone->DragOver();
    zoneWindow.hit = ZoneTreeHit{zone->ZoneTree().NodeAt(0), true, kHitOnLabel, false};
    zone->DragOver();
    zone->DropText("hello zone");
    ASSERT_EQ(tree.Count(), 2u);
    TreeNode* child = tree.NodeAt(1);
    EXPECT_EQ(child->Parent(), tree.NodeAt(0));
    EXPECT_EQ(Page(child->PageId()), "hello zone\r\n");

    zoneWindow.appActive = true;
    editor->active = true;
    zone->DragOver();
    EXPECT_FALSE(zone->DropAllowed());
    zone->DropText("from the editor");
    EXPECT_EQ(tree.Count(), 2u);
    EXPECT_FALSE(zone->Expanded());
}

TEST_F(ZoneControllerTest, TheHoverTimerExpandsANodeTheCursorRestsOnEveryTwoTicks)
{
    AddPage(nullptr, "A", "a", "x");
    Make();
    zone->DragOver();
    zone->DragOver();
    zoneWindow.hit = ZoneTreeHit{zone->ZoneTree().NodeAt(0), true, kHitOnLabel, false};
    zone->DragOver();
    zone->TVTimerTimer();
    EXPECT_TRUE(zoneWindow.expandedNodes.empty());
    zone->TVTimerTimer();
    ASSERT_EQ(zoneWindow.expandedNodes.size(), 1u);
    zone->TVTimerTimer();
    zone->TVTimerTimer();
    EXPECT_EQ(zoneWindow.expandedNodes.size(), 2u);
}

TEST_F(ZoneControllerTest, TheEditorsDeferredActionsRunThroughTheZone)
{
    Make();
    zone->EnsureEditorForm();
    editor->sink(ZoneAction::CopyOnly, 100, 1);
    timer.Advance(100);
    EXPECT_EQ(zoneWindow.ctrlC, 1);
    editor->sink(ZoneAction::CopyAndPaste, 100, 1);
    timer.Advance(100);
    EXPECT_EQ(zoneWindow.ctrlC, 2);
    EXPECT_EQ(session->PendingDocumentWork(), DocumentWork::PasteThenLocalize);
    editor->sink(static_cast<ZoneAction>(3000), 100, 1);  // no such action: nothing happens
    timer.Advance(100);
    EXPECT_EQ(zoneWindow.ctrlC, 2);
}

// Where the focus follows the pointer, a drag on its way over the zone deactivates the program.
TEST_F(ZoneControllerTest, ADeactivationCollapsesTheZoneButNotWhileADragIsOverIt)
{
    AddPage(nullptr, "A", "a", "a");
    Make();
    zone->DragOver();
    zone->ApplicationDeactivate();
    EXPECT_TRUE(zone->Expanded());
    zone->DragOver();
    zone->DropText("dropped");
    EXPECT_FALSE(zone->Expanded());
    EXPECT_EQ(TreeShape(tree), "A -dropped ");

    zone->DragOver();
    zone->DragLeave();
    zone->ExpandZone(true);  // open with no drag over it
    zone->ApplicationDeactivate();
    EXPECT_FALSE(zone->Expanded());
}

TEST_F(ZoneControllerTest, ReloadIsAskedWhenThePageFileChangedAndNotAgainAfterNo)
{
    TreeNode* a = AddPage(nullptr, "A", "a", "one");
    tree.Select(a);
    settings.MonitorFileChange = true;
    settings.CurrentPageFile = File("a");
    Make();
    zone->EnsureEditorForm();
    zone->ApplicationDeactivate();
    EXPECT_NE(settings.CurrentPageTime, 0);
    settings.CurrentPageTime -= 1.0;  // as if the file had changed since
    dialogs.answer = false;
    zone->ApplicationActivate();
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0],
              "Reload: A has been changed by another application.\r\n\r\nDo you want to reload it?");
    zone->ApplicationDeactivate();
    zone->ApplicationActivate();
    EXPECT_EQ(dialogs.questions.size(), 1u);
}

TEST_F(ZoneControllerTest, MenuCommandsWithoutAnEditorTellTheUserOnce)
{
    ZoneControllerDeps deps{settings, zoneWindow, dialogs, launcher, timer};
    deps.editorFactory = [](const ZoneCommandRunner&) { return std::unique_ptr<ZoneEditor>(); };
    ZoneController noEditor(std::move(deps));
    noEditor.Image1DblClick();
    noEditor.Add1Click();
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{kEditorUnavailable, kEditorUnavailable}));
    noEditor.DragOver();  // a drag never pops up a box
    EXPECT_EQ(dialogs.messages.size(), 2u);
    noEditor.Help1Click();
    EXPECT_EQ(launcher.opened, std::vector<std::string>{"help.chm"});
}

TEST_F(ZoneControllerTest, MenuCommandsShowTheEditorAndRunItsOwnCommands)
{
    AddPage(nullptr, "A", "a", "<html><body>a</body></html>");
    tree.Select(tree.NodeAt(0));
    Make();
    clipSourceUrl = "http://left/over";
    zone->AddClipboardContents1Click();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->shown);
    EXPECT_EQ(clipSourceUrl, "");
    EXPECT_EQ(editor->commands, std::vector<std::string>{"add clipboard contents"});
    EXPECT_EQ(editor->fronts, 1);

    zone->Add1Click();
    EXPECT_EQ(editor->commands.back(), "add node");
    EXPECT_EQ(views.active, kViewHtml);
    EXPECT_EQ(views.log.back(), "html load " + File("a"));  // switched with loading

    // Paste Clipboard Contents: into the open document in the HTML view; from another view
    // the paste waits for the page to load.
    views.clipboardHtml = "<p>pasted</p>";
    zone->CopyClipboardContents1Click();
    EXPECT_EQ(views.log.back(), "html paste");
    views.active = kViewBrowse;
    zone->CopyClipboardContents1Click();
    EXPECT_EQ(session->PendingDocumentWork(), DocumentWork::PasteThenLocalize);
    EXPECT_EQ(views.active, kViewHtml);

    zone->Options1Click();
    zone->About1Click();
    EXPECT_EQ(zoneWindow.log, (std::vector<std::string>{"options", "about"}));
}

}  // namespace
}  // namespace ql::test
