// The page control: wx events in, layout and drawing from the headless halves.
#include <algorithm>
#include <exception>

#include <wx/dcbuffer.h>
#include <wx/log.h>
#include <wx/renderer.h>

#include "components/browserhost/PagesChange.h"
#include "components/browserhost/Pages_wx.h"
#include "platform/core/ErrorLog.h"

namespace ql {

namespace {
// Event handlers run user callbacks; nothing may unwind into the toolkit.
template <typename Fn>
void Guarded(Fn&& fn)
{
    GuardHandler("page control", std::forward<Fn>(fn));
}

TSize ImageSize(wxImageList* images) { return TSize{images->GetSize().x, images->GetSize().y}; }

// Draws the tab of `sheet` in the place and colours already in `face`; the caption, the image
// and the font are the sheet's, whoever chose the colours.
void DrawSheetTab(WxCanvas& canvas, const TCustomTabSheetes& sheet, wxImageList* images, TabFace face)
{
    face.caption = sheet.Caption().utf8_string();
    face.images = images != nullptr;
    if (images)
        face.imageSize = ImageSize(images);
    face.imageIndex = sheet.ImageIndex();
    canvas.DC().SetFont(sheet.GetFont());
    DrawColouredTab(canvas, face);
}
}  // namespace

TCustomPageControles::TCustomPageControles(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Create(parent, id, pos, size, wxFULL_REPAINT_ON_RESIZE | wxBORDER_NONE);
    Bind(wxEVT_PAINT, &TCustomPageControles::OnPaint, this);
    Bind(wxEVT_SIZE, &TCustomPageControles::OnSize, this);
    Bind(wxEVT_LEFT_DOWN, &TCustomPageControles::OnLeftDown, this);
    Bind(wxEVT_MOTION, &TCustomPageControles::OnMotion, this);
    Bind(wxEVT_LEAVE_WINDOW, &TCustomPageControles::OnLeave, this);
    Bind(wxEVT_CHAR_HOOK, &TCustomPageControles::OnCharHook, this);
    Bind(wxEVT_KEY_DOWN, &TCustomPageControles::OnKeyDown, this);
    Bind(wxEVT_SET_FOCUS, &TCustomPageControles::OnFocusChange, this);
    Bind(wxEVT_KILL_FOCUS, &TCustomPageControles::OnFocusChange, this);
}

TCustomPageControles::~TCustomPageControles()
{
    // wx destroys the sheets after this destructor; they must not call back into it.
    for (TCustomTabSheetes* page : pages_)
        page->pageControl_ = nullptr;
    pages_.clear();
}

TCustomTabSheetes* TCustomPageControles::Pages(int index) const
{
    return index >= 0 && index < PageCount() ? pages_[std::size_t(index)] : nullptr;
}

void TCustomPageControles::SetActivePageIndex(int index)
{
    if (index < -1 || index >= PageCount() || index == activePage_)
        return;
    activePage_ = index;
    Realign();
}

void TCustomPageControles::SetActivePage(TCustomTabSheetes* page)
{
    if (!page) {
        SetActivePageIndex(-1);
        return;
    }
    const auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it != pages_.end())
        SetActivePageIndex(int(it - pages_.begin()));
}

std::vector<TCustomTabSheetes*> TCustomPageControles::VisibleTabs() const
{
    std::vector<TCustomTabSheetes*> tabs;
    for (TCustomTabSheetes* page : pages_)
        if (page->TabVisible())
            tabs.push_back(page);
    return tabs;
}

int TCustomPageControles::TabCount() const
{
    return int(std::count_if(pages_.begin(), pages_.end(), [](auto* p) { return p->TabVisible(); }));
}

int TCustomPageControles::TabIndex() const
{
    const TCustomTabSheetes* page = ActivePage();
    return page ? page->TabIndex() : -1;
}

TCustomTabSheetes* TCustomPageControles::PageForTab(int tab) const
{
    const auto tabs = VisibleTabs();
    return tab >= 0 && tab < int(tabs.size()) ? tabs[std::size_t(tab)] : nullptr;
}

TRect TCustomPageControles::TabRect(int tab) const
{
    return tab >= 0 && tab < int(layout_.tabs.size()) ? layout_.tabs[std::size_t(tab)].outer : TRect{};
}

int TCustomPageControles::IndexOfTabAt(int x, int y) const { return TabAtPoint(layout_, TabIndex(), x, y); }

TRect TCustomPageControles::PageRect() const { return AdjustDisplayRect(layout_.display); }

TRect TCustomPageControles::ClientTRect() const
{
    const wxSize size = GetClientSize();
    return TRect{0, 0, size.x, size.y};
}

void TCustomPageControles::SetTabPosition(TTabPosition value)
{
    if (value == tabPosition_)
        return;
    tabPosition_ = value;
    Realign();
}

void TCustomPageControles::SetMultiLine(bool value)
{
    if (value == multiLine_)
        return;
    multiLine_ = value;
    Realign();
}

void TCustomPageControles::SetHotTrack(bool value)
{
    if (value == hotTrack_)
        return;
    hotTrack_ = value;
    hotTab_ = -1;
    Refresh();
}

void TCustomPageControles::SetOwnerDraw(bool value)
{
    if (value == ownerDraw_)
        return;
    ownerDraw_ = value;
    Refresh();
}

void TCustomPageControles::SetImages(wxImageList* value)
{
    images_ = value;
    Realign();
}

void TCustomPageControles::SetColor(TColor value)
{
    if (value == color_)
        return;
    color_ = value;
    Refresh();
    for (TCustomTabSheetes* page : pages_)
        if (page->ParentColor())
            page->Refresh();
}

void TCustomPageControles::SetTabFillGradient(bool value)
{
    if (value == tabFillGradient_)
        return;
    tabFillGradient_ = value;
    Refresh();
}

void TCustomPageControles::AddPage(TCustomTabSheetes* page)
{
    pages_.push_back(page);
    if (activePage_ < 0)
        activePage_ = PageCount() - 1;
    Realign();
}

void TCustomPageControles::RemovePage(TCustomTabSheetes* page)
{
    const auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end())
        return;
    const int index = int(it - pages_.begin());
    pages_.erase(it);
    if (activePage_ > index)
        --activePage_;
    else if (activePage_ == index)
        activePage_ = std::min(index, PageCount() - 1);
    hotTab_ = -1;
    Realign();
}

void TCustomPageControles::Realign()
{
    const auto tabs = VisibleTabs();
    TabLayoutInput in;
    in.client = ClientTRect();
    in.position = tabPosition_;
    in.multiLine = multiLine_;
    for (TCustomTabSheetes* sheet : tabs) {
        int w = 0, h = 0;
        const wxFont font = sheet->GetFont();
        GetTextExtent(sheet->Caption(), &w, &h, nullptr, nullptr, &font);
        in.captions.push_back(TSize{w, h});
    }
    if (images_) {
        in.images = true;
        in.imageSize = ImageSize(images_);
    }
    in.activeTab = TabIndex();
    layout_ = LayoutTabs(in);

    const TRect page = PageRect();
    for (int i = 0; i < PageCount(); ++i) {
        TCustomTabSheetes* sheet = pages_[std::size_t(i)];
        if (i == activePage_) {
            sheet->SetSize(page.Left, page.Top, std::max(0, page.Width()), std::max(0, page.Height()));
            sheet->Show();
        } else {
            sheet->Hide();
        }
    }
    Refresh();
}

bool TCustomPageControles::CanChangeToTab(int tab)
{
    bool allow = true;
    if (OnChangingToTab)
        OnChangingToTab(this, tab, allow);
    return allow;
}

bool TCustomPageControles::CanChange()
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    return allow;
}

void TCustomPageControles::ChangeToTabByUser(int tab)
{
    TabChangeSteps steps;
    steps.canChangeToTab = [this](int t) { return CanChangeToTab(t); };
    steps.canChange = [this] { return CanChange(); };
    steps.activate = [this](int t) { SetActivePage(PageForTab(t)); };
    steps.changed = [this] {
        if (OnChange)
            OnChange(this);
    };
    RequestTabChange(TabIndex(), tab, TabCount(), steps);
}

void TCustomPageControles::DrawTab(WxCanvas& canvas, int tabIndex, const TRect& rect, bool active)
{
    const TCustomTabSheetes* sheet = PageForTab(tabIndex);
    if (!sheet)
        return;
    const SystemPalette palette = CurrentSystemPalette();
    TabFace face;
    face.rect = rect;
    face.active = active;
    face.position = tabPosition_;
    face.tabColor = ColorToRGB(sheet->TabColor(), palette);
    face.fontColor = ColorToRGB(sheet->TabFontColor(), palette);
    face.fillGradient = tabFillGradient_;
    face.hotTrack = hotTrack_;
    DrawSheetTab(canvas, *sheet, images_, face);
}

void TCustomPageControles::EraseBackground(WxCanvas& canvas)
{
    canvas.FillRect(ClientTRect(), ColorToRGB(color_, CurrentSystemPalette()));
}

void TCustomPageControles::PaintBackground(wxDC&) {}

void TCustomPageControles::PaintTab(WxCanvas& canvas, const SystemPalette& palette, int tab, bool active)
{
    const TabPlacement& place = layout_.tabs[std::size_t(tab)];
    const TCustomTabSheetes* sheet = PageForTab(tab);
    if (place.outer.IsEmpty() || !sheet)
        return;
    DrawTabEdges(canvas, place.outer, tabPosition_, palette);
    if (ownerDraw_) {
        DrawTab(canvas, tab, place.item, active);
    } else {
        // The plain look: button face, button text, the hot colour under the mouse.
        TabFace face;
        face.rect = place.item;
        face.active = active;
        face.position = tabPosition_;
        face.tabColor = palette.btnFace;
        face.fontColor = hotTrack_ && tab == hotTab_ ? palette.hotLight : palette.btnText;
        DrawSheetTab(canvas, *sheet, images_, face);
    }
    if (active && HasFocus()) {
        TRect r = place.item;
        InflateRect(r, -2, -2);
        if (!r.IsEmpty())
            wxRendererNative::Get().DrawFocusRect(this, canvas.DC(), wxRect(r.Left, r.Top, r.Width(), r.Height()));
    }
}

void TCustomPageControles::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(this);
    WxCanvas canvas(dc, images_);
    const SystemPalette palette = CurrentSystemPalette();
    EraseBackground(canvas);
    const int active = TabIndex();
    const int count = int(layout_.tabs.size());
    for (int tab = 0; tab < count; ++tab)
        if (tab != active)
            PaintTab(canvas, palette, tab, false);
    DrawDisplayFrame(canvas, layout_.frame, palette);
    if (active >= 0 && active < count)
        PaintTab(canvas, palette, active, true);
}

void TCustomPageControles::OnSize(wxSizeEvent& event)
{
    Realign();
    event.Skip();
}

void TCustomPageControles::OnLeftDown(wxMouseEvent& event)
{
    Guarded([&] {
        const int hit = IndexOfTabAt(event.GetX(), event.GetY());
        if (hit < 0)
            return;
        clickedTab_ = hit;
        SetFocus();
        ChangeToTabByUser(hit);
    });
    event.Skip();
}

void TCustomPageControles::OnMotion(wxMouseEvent& event)
{
    if (hotTrack_ && !ownerDraw_) {
        const int hit = IndexOfTabAt(event.GetX(), event.GetY());
        if (hit != hotTab_) {
            hotTab_ = hit;
            Refresh();
        }
    }
    event.Skip();
}

void TCustomPageControles::OnLeave(wxMouseEvent& event)
{
    if (hotTab_ != -1) {
        hotTab_ = -1;
        Refresh();
    }
    event.Skip();
}

void TCustomPageControles::OnCharHook(wxKeyEvent& event)
{
    int target = -1;
    if (event.ControlDown() && !event.AltDown()) {
        const int key = event.GetKeyCode();
        if (key == WXK_TAB)
            target = TabForKey(event.ShiftDown() ? TabKey::PreviousWrap : TabKey::NextWrap, TabIndex(), TabCount());
        else if (key == WXK_PAGEDOWN)
            target = TabForKey(TabKey::NextWrap, TabIndex(), TabCount());
        else if (key == WXK_PAGEUP)
            target = TabForKey(TabKey::PreviousWrap, TabIndex(), TabCount());
    }
    if (target < 0) {
        event.Skip();
        return;
    }
    Guarded([&] { ChangeToTabByUser(target); });
}

void TCustomPageControles::OnKeyDown(wxKeyEvent& event)
{
    int target = -1;
    if (!event.HasAnyModifiers()) {
        switch (event.GetKeyCode()) {
        case WXK_LEFT:
        case WXK_UP:
            target = TabForKey(TabKey::Previous, TabIndex(), TabCount());
            break;
        case WXK_RIGHT:
        case WXK_DOWN:
            target = TabForKey(TabKey::Next, TabIndex(), TabCount());
            break;
        default:
            break;
        }
    }
    if (target < 0) {
        event.Skip();
        return;
    }
    Guarded([&] { ChangeToTabByUser(target); });
}

void TCustomPageControles::OnFocusChange(wxFocusEvent& event)
{
    Refresh();
    event.Skip();
}

TPageControles::TPageControles(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : TCustomPageControles(parent, id, pos, size),
      background_(PageBackground::HolderTiling::Clipped, [this] { Refresh(); })
{
}

void TPageControles::SetBevelInner(TBevelCut value)
{
    bevels_.BevelInner = value;
    Realign();
}

void TPageControles::SetBevelOuter(TBevelCut value)
{
    bevels_.BevelOuter = value;
    Realign();
}

void TPageControles::SetBevelWidth(int value)
{
    bevels_.BevelWidth = std::max(1, value);
    Realign();
}

void TPageControles::SetBorderInvisible(bool value)
{
    if (value == borderInvisible_)
        return;
    borderInvisible_ = value;
    Realign();
}

TRect TPageControles::AdjustDisplayRect(const TRect& display) const
{
    return AdjustPageRect(display, TabPosition(), borderInvisible_);
}

void TPageControles::PaintOwnBackground(WxCanvas& canvas)
{
    const SystemPalette palette = CurrentSystemPalette();
    background_.Paint(canvas, ClientTRect(), ColorToRGB(Color(), palette), bevels_, palette);
}

void TPageControles::EraseBackground(WxCanvas& canvas) { PaintOwnBackground(canvas); }

void TPageControles::PaintBackground(wxDC& dc)
{
    WxCanvas canvas(dc);
    PaintOwnBackground(canvas);
}

}  // namespace ql
