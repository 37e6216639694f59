// The collection tree in the program's tree controls, on a real display (run under Xvfb): the
// editor's tree filled from a loaded collection until the stored node is selected and the
// control has painted, at 1,000 and at 100,000 nodes; and the drop zone's first drag-over of a
// drag over a collection of 100,000 nodes, from the call until the zone's tree has painted.
#include "app/collection/TreeMirror_wx.h"
#include "app/editor/EditorTreeView_wx.h"
#include "bench/support/BigTree.h"
#include "bench/support/DropCollection.h"

#include <benchmark/benchmark.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/treectrl.h>

#include <chrono>
#include <cstdio>
#include <memory>

namespace {

using namespace ql;

class BenchApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

// A shown frame holding one tree control with the given style.
struct ShownTree {
    wxFrame* frame;
    wxTreeCtrl* tv;
    explicit ShownTree(long style)
    {
        frame = new wxFrame(nullptr, wxID_ANY, "bench", wxPoint(0, 0), wxSize(320, 900));
        tv = new wxTreeCtrl(frame, wxID_ANY, wxDefaultPosition, wxDefaultSize, style);
        frame->Show();
        Paint();
    }
    ~ShownTree() { frame->Destroy(); }
    ShownTree(const ShownTree&) = delete;
    ShownTree& operator=(const ShownTree&) = delete;
    // What the event loop does before the user sees the control: idle-time layout, then paint.
    void Paint() const
    {
        wxTheApp->ProcessIdle();
        tv->Update();
    }
};

constexpr long kEditorTreeStyle = wxTR_HAS_BUTTONS | wxTR_NO_LINES | wxTR_HIDE_ROOT | wxTR_EDIT_LABELS | wxTR_SINGLE |
                                  wxTR_FULL_ROW_HIGHLIGHT | wxBORDER_NONE;
constexpr long kZoneTreeStyle = wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_HIDE_ROOT | wxTR_SINGLE | wxBORDER_NONE;

// As the editor opens: the tree files read, the view fills from the tree (loading ends in one
// reset of the view, the same work), then the stored node (here the last one) is selected.
void BM_EditorTreeFill(benchmark::State& state)
{
    const int nodes = static_cast<int>(state.range(0));
    ShownTree shown(kEditorTreeStyle);
    shown.tv->SetIndent(19);
    shown.tv->AssignImageList(EditorTreeView::MakeImageList());
    CollectionTree tree;
    bench::BuildBigTree(tree, nodes);
    TreeNode* stored = tree.NodeAt(tree.Count() - 1);
    std::unique_ptr<EditorTreeView> view;
    for (auto _ : state) {
        state.PauseTiming();
        tree.Select(nullptr);
        view.reset();
        shown.tv->DeleteAllItems();
        shown.Paint();
        state.ResumeTiming();
        view = std::make_unique<EditorTreeView>(shown.tv, tree);  // fills from the loaded tree
        tree.Select(stored);
        shown.Paint();
    }
    if (!view || shown.tv->GetSelection() != view->ItemOf(stored))
        state.SkipWithError("the stored node is not selected");
}
BENCHMARK(BM_EditorTreeFill)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(10);

// The zone's tree is empty while the zone is collapsed; a drag's first move over the zone copies
// the editor's tree into it and opens the panel.
void BM_ZoneFirstDragOver(benchmark::State& state)
{
    const int nodes = static_cast<int>(state.range(0));
    bench::DropCollection c(bench::CollectionSize{0, nodes - 1});
    ShownTree shown(kZoneTreeStyle);
    SetCollectionTreeImages(shown.tv);
    TreeMirror mirror(c.zone->ZoneTree(), shown.tv);
    // What the zone's form does with the highlighted node.
    c.zoneWindow.showHighlight = [&](TreeNode* node) {
        if (wxTreeItemId item = mirror.ItemOf(node); item.IsOk()) {
            shown.tv->SetFocusedItem(item);
            shown.tv->EnsureVisible(item);
        }
    };
    c.session->EditorTree().Select(c.session->EditorTree().NodeAt(static_cast<std::size_t>(nodes / 2)));
    double secondMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        c.zone->DragLeave();
        c.zoneWindow.hit = {};
        shown.Paint();
        state.ResumeTiming();
        auto dragOver = [&] {
            c.zone->DragOver();
            shown.Paint();
        };
        dragOver();
        state.PauseTiming();
        const auto start = std::chrono::steady_clock::now();
        dragOver();  // the next move finds the zone open: the tree is copied for this drag
        secondMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        state.ResumeTiming();
    }
    c.zoneWindow.showHighlight = nullptr;
    if (c.zone->ZoneTree().Count() != static_cast<std::size_t>(nodes) || !c.zone->ZoneTree().Selected())
        state.SkipWithError("the zone's tree is not the editor's");
    state.counters["next_move_ms"] = benchmark::Counter(secondMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ZoneFirstDragOver)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(BenchApp);

int main(int argc, char** argv)
{
    wxApp::SetInstance(new BenchApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "cannot start wx (is there a display?)\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return 0;
}
