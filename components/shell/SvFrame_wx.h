#pragma once
// A container that draws one of eleven frames around its client area and its caption inside
// it. The client size excludes the frame and the group's sizer lays its children out inside
// it. A child placed by hand is placed in window coordinates (the toolkit offers no
// non-client area); when the frame changes, such children move with the client area.
#include <functional>

#include <wx/panel.h>

#include "components/shell/SvFrame.h"

namespace ql::shellctl {

class TSvCustomGroup : public wxPanel {
public:
    TSvCustomGroup() = default;
    TSvCustomGroup(wxWindow* parent, wxWindowID id = wxID_ANY, const wxString& caption = wxString(),
                   const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(64, 48));
    bool Create(wxWindow* parent, wxWindowID id = wxID_ANY, const wxString& caption = wxString(),
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(64, 48));

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool value);
    int FrameSpace() const { return frameSpace_; }
    void SetFrameSpace(int value);
    TSvFrameStyle FrameStyle() const { return frameStyle_; }
    void SetFrameStyle(TSvFrameStyle value);

    // Paints the client area after the default drawing; the device context's origin is the
    // client area's and drawing is clipped to it.
    std::function<void(TSvCustomGroup& sender, wxDC& canvas)> OnPaint;

    // The frame widths in force.
    TFrameInsets Insets() const { return insets_; }
    // Paints the frame into `rect`, in window coordinates.
    virtual void PaintFrame(wxDC& dc, const wxRect& rect);

    wxPoint GetClientAreaOrigin() const override;
    bool Layout() override;
    bool Enable(bool enable = true) override;
    void SetLabel(const wxString& label) override;
    wxString GetLabel() const override { return caption_; }
    bool SetFont(const wxFont& font) override;
    bool SetBackgroundColour(const wxColour& colour) override;

protected:
    void DoGetClientSize(int* width, int* height) const override;

private:
    void Init();
    TFrameInsets ComputeInsets() const;
    // Brings the client area in line with the frame: children keep their place relative to it.
    void RecalcFrame();
    void OnPaintEvent(wxPaintEvent& event);
    void PaintGroupCaption(wxDC& dc, const wxRect& window);

    TAlignment alignment_ = taCenter;
    bool defaultDrawing_ = true;
    int frameSpace_ = 2;
    TSvFrameStyle frameStyle_ = svfsGroup;
    TFrameInsets insets_;
    wxString caption_;
};

class TSvGroup : public TSvCustomGroup {
public:
    using TSvCustomGroup::TSvCustomGroup;

private:
    wxDECLARE_DYNAMIC_CLASS(TSvGroup);
};

}  // namespace ql::shellctl
