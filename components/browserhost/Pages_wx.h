#pragma once
// A page control that draws its own tabs in per-sheet colours (optionally as gradients, with
// turned captions for side tabs and images), lets a handler veto a change to a given tab,
// gives its sheets and itself bevelled or tiled backgrounds, and can hide its border.
// The geometry, the drawing and the change chain live in PagesLayout, PagesPaint,
// PagesBackground and PagesChange; these classes hand wx events to them.
#include <functional>
#include <vector>

#include <wx/imaglist.h>
#include <wx/panel.h>
#include <wx/window.h>

#include "components/browserhost/Grafxes_wx.h"
#include "components/browserhost/PagesBackground.h"
#include "components/browserhost/PagesLayout.h"
#include "components/browserhost/PagesPaint.h"

namespace ql {

class TCustomPageControles;

// A sheet: one page of a TCustomPageControles, hidden until it is the active page.
class TCustomTabSheetes : public wxPanel {
public:
    explicit TCustomTabSheetes(TCustomPageControles* pageControl, const wxString& caption = wxString());
    ~TCustomTabSheetes() override;

    TColor TabColor() const { return tabColor_; }
    void SetTabColor(TColor value);
    TColor TabFontColor() const { return tabFontColor_; }
    void SetTabFontColor(TColor value);

    const wxString& Caption() const { return caption_; }
    void SetCaption(const wxString& value);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value);
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool value);

    // A new font changes the tab's size.
    bool SetFont(const wxFont& font) override;

    TCustomPageControles* PageControl() const { return pageControl_; }
    int TabIndex() const;  // among the visible tabs; -1 when the tab is hidden

protected:
    // Draws the sheet after its background was filled with its colour; empty here.
    virtual void PaintContent(wxDC& dc);

    // The window-control values a descendant may publish.
    TColor Color() const;  // RGB or a system colour; the control's while ParentColor holds
    void SetColor(TColor value);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);

private:
    friend class TCustomPageControles;
    void OnPaint(wxPaintEvent& event);

    TCustomPageControles* pageControl_;
    wxString caption_;
    int imageIndex_ = -1;
    bool tabVisible_ = true;
    TColor tabColor_ = clBtnFace;
    TColor tabFontColor_ = clBlack;
    TColor color_ = clBtnFace;
    bool parentColor_ = true;
};

// A sheet with bevels, a border and a tiled background picture (own or shared).
class TTabSheetes : public TCustomTabSheetes {
public:
    explicit TTabSheetes(TCustomPageControles* pageControl, const wxString& caption = wxString());

    TBevelCut BevelInner() const { return bevels_.BevelInner; }
    void SetBevelInner(TBevelCut value);
    TBevelCut BevelOuter() const { return bevels_.BevelOuter; }
    void SetBevelOuter(TBevelCut value);
    int BevelWidth() const { return bevels_.BevelWidth; }
    void SetBevelWidth(int value);  // at least 1
    int BorderWidth() const { return bevels_.BorderWidth; }
    void SetBorderWidth(int value);  // at least 0

    TBitmap& Bitmap() { return background_.Bitmap(); }
    void SetBitmap(const TBitmap* value) { background_.SetBitmap(value); }
    TBitmapHolder* BitmapHolder() const { return background_.BitmapHolder(); }
    void SetBitmapHolder(TBitmapHolder* value) { background_.SetBitmapHolder(value); }

    using TCustomTabSheetes::Color;
    using TCustomTabSheetes::ParentColor;
    using TCustomTabSheetes::SetColor;
    using TCustomTabSheetes::SetParentColor;

    // Child controls sized by a sizer go inside the bevels and the border.
    bool Layout() override;
    // What the bevels and the border take of the sheet's width and height, both sides together.
    wxSize ContentInset() const;

protected:
    void PaintContent(wxDC& dc) override;

private:
    void BevelsChanged();
    BevelSettings bevels_;  // lowered outer, raised inner, 1 pixel, no border
    PageBackground background_;
};

using TNotifyEvent = std::function<void(TCustomPageControles* Sender)>;
using TTabChangingEvent = std::function<void(TCustomPageControles* Sender, bool& AllowChange)>;
using TToTabChangingEvent = std::function<void(TCustomPageControles* Sender, int tab, bool& AllowChange)>;

class TCustomPageControles : public wxWindow {
public:
    explicit TCustomPageControles(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                                  const wxSize& size = wxDefaultSize);
    ~TCustomPageControles() override;

    int PageCount() const { return int(pages_.size()); }
    TCustomTabSheetes* Pages(int index) const;
    int ActivePageIndex() const { return activePage_; }
    // Switches pages without asking or reporting: no OnChangingToTab, OnChanging, OnChange.
    void SetActivePageIndex(int index);
    TCustomTabSheetes* ActivePage() const { return Pages(activePage_); }
    void SetActivePage(TCustomTabSheetes* page);

    int TabCount() const;
    int TabIndex() const;  // the active page's tab, -1 when it has none
    TCustomTabSheetes* PageForTab(int tab) const;
    TRect TabRect(int tab) const;          // empty for a tab scrolled out of view
    int IndexOfTabAt(int x, int y) const;  // client coordinates; -1 off the tabs
    // Where the pages go, in client coordinates.
    TRect PageRect() const;

    TTabPosition TabPosition() const { return tabPosition_; }
    void SetTabPosition(TTabPosition value);
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool value);
    bool HotTrack() const { return hotTrack_; }
    void SetHotTrack(bool value);
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool value);
    wxImageList* Images() const { return images_; }
    void SetImages(wxImageList* value);  // not owned
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    bool TabFillGradient() const { return tabFillGradient_; }
    void SetTabFillGradient(bool value);

    // The tab under the last left click, 0 before any.
    int ClickedTab() const { return clickedTab_; }

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;
    TToTabChangingEvent OnChangingToTab;

    // Paints the control's background on `dc`; the control itself never calls it.
    virtual void PaintBackground(wxDC& dc);

    // Lays the tabs out again and puts the active page in place.
    void Realign();

protected:
    // Raises OnChangingToTab for the tab about to become active.
    virtual bool CanChangeToTab(int tab);
    // The general change check: raises OnChanging.
    virtual bool CanChange();
    // Draws one tab face inside `rect` (its item rectangle).
    virtual void DrawTab(WxCanvas& canvas, int tabIndex, const TRect& rect, bool active);
    // Fills what the pages and tabs leave of the control.
    virtual void EraseBackground(WxCanvas& canvas);
    // The page rectangle the layout gives, as this control wants it.
    virtual TRect AdjustDisplayRect(const TRect& display) const { return display; }
    TRect ClientTRect() const;

private:
    friend class TCustomTabSheetes;
    void AddPage(TCustomTabSheetes* page);
    void RemovePage(TCustomTabSheetes* page);
    std::vector<TCustomTabSheetes*> VisibleTabs() const;
    void ChangeToTabByUser(int tab);
    void PaintTab(WxCanvas& canvas, const SystemPalette& palette, int tab, bool active);

    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeave(wxMouseEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnFocusChange(wxFocusEvent& event);

    std::vector<TCustomTabSheetes*> pages_;
    int activePage_ = -1;
    TabLayout layout_;
    TTabPosition tabPosition_ = TTabPosition::tpTop;
    bool multiLine_ = false;
    bool hotTrack_ = false;
    bool ownerDraw_ = true;
    bool tabFillGradient_ = false;
    wxImageList* images_ = nullptr;
    TColor color_ = clBtnFace;
    int clickedTab_ = 0;
    int hotTab_ = -1;
};

// The page control with a background picture, bevels and an optionally hidden border.
class TPageControles : public TCustomPageControles {
public:
    explicit TPageControles(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                            const wxSize& size = wxDefaultSize);

    TBitmap& Bitmap() { return background_.Bitmap(); }
    void SetBitmap(const TBitmap* value) { background_.SetBitmap(value); }
    TBitmapHolder* BitmapHolder() const { return background_.BitmapHolder(); }
    void SetBitmapHolder(TBitmapHolder* value) { background_.SetBitmapHolder(value); }
    TBevelCut BevelInner() const { return bevels_.BevelInner; }
    void SetBevelInner(TBevelCut value);
    TBevelCut BevelOuter() const { return bevels_.BevelOuter; }
    void SetBevelOuter(TBevelCut value);
    int BevelWidth() const { return bevels_.BevelWidth; }
    void SetBevelWidth(int value);  // at least 1
    // Lets the pages cover the control's border.
    bool BorderInvisible() const { return borderInvisible_; }
    void SetBorderInvisible(bool value);

    void PaintBackground(wxDC& dc) override;

protected:
    void EraseBackground(WxCanvas& canvas) override;
    TRect AdjustDisplayRect(const TRect& display) const override;

private:
    void PaintOwnBackground(WxCanvas& canvas);

    PageBackground background_;
    BevelSettings bevels_{TBevelCut::bvNone, TBevelCut::bvNone, 1, 0};
    bool borderInvisible_ = false;
};

}  // namespace ql
