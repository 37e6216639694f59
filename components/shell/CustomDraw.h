#pragma once
// One object per drawing of an item: the font and colours an event handler may change for
// that item, and the answer that tells the control what to do with them.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace ql::shellctl {

using TColor = std::uint32_t;  // 0x00BBGGRR
inline constexpr TColor clNone = 0x1FFFFFFF;

// Drawing stages and answers.
inline constexpr std::uint32_t CDDS_PREPAINT = 0x1;
inline constexpr std::uint32_t CDDS_POSTPAINT = 0x2;
inline constexpr std::uint32_t CDDS_ITEM = 0x10000;
inline constexpr std::uint32_t CDDS_ITEMPREPAINT = 0x10001;
inline constexpr std::uint32_t CDDS_ITEMPOSTPAINT = 0x10002;
inline constexpr std::uint32_t CDRF_DODEFAULT = 0x0;
inline constexpr std::uint32_t CDRF_NEWFONT = 0x2;
inline constexpr std::uint32_t CDRF_SKIPDEFAULT = 0x4;
inline constexpr std::uint32_t CDRF_NOTIFYITEMDRAW = 0x20;
// States of the item being drawn.
inline constexpr std::uint32_t CDIS_SELECTED = 0x1;
inline constexpr std::uint32_t CDIS_FOCUS = 0x10;
inline constexpr std::uint32_t CDIS_HOT = 0x40;

struct TSvFont {
    std::string name;
    int size = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    TColor color = 0;
    friend bool operator==(const TSvFont&, const TSvFont&) = default;
};

// The drawing record: the stage, the item, the font and colours the device context holds, and
// the item's text colours that the answer may change.
struct NMCUSTOMDRAW {
    std::uint32_t dwDrawStage = 0;
    std::uintptr_t dwItemSpec = 0;
    std::uint32_t uItemState = 0;  // CDIS_* of the item
    TSvFont selectedFont;          // the font selected for drawing
    TColor textColor = 0;          // the context's current colours
    TColor bkColor = 0xFFFFFF;
    TColor clrText = 0;
    TColor clrTextBk = 0xFFFFFF;
};

class TSvCustomDraw {
public:
    TSvCustomDraw(NMCUSTOMDRAW* record, const TSvFont& controlFont, std::uint32_t* answer);
    virtual ~TSvCustomDraw() = default;
    TSvCustomDraw(const TSvCustomDraw&) = delete;
    TSvCustomDraw& operator=(const TSvCustomDraw&) = delete;

    // 1 prepaint, 2 postpaint, 4 item prepaint, 5 item postpaint, 0 for any other stage.
    int DrawStage() const;
    const TSvFont& Font() const { return font_; }
    void SetFont(const TSvFont& font)
    {
        font_ = font;
        fontChanged_ = true;
    }
    void SetFontColor(TColor color)
    {
        font_.color = color;
        fontChanged_ = true;
    }
    TColor BrushColor() const { return brush_; }
    void SetBrushColor(TColor color)
    {
        brush_ = color;
        brushChanged_ = true;
    }
    bool NotifyItemDraw = false;
    bool SkipDefault = false;
    bool ResultHandled = false;
    NMCUSTOMDRAW* Record() const { return record_; }

    virtual void Apply() = 0;

protected:
    // Item prepaint: the changed font (selected when it differs, answering CDRF_NEWFONT) and
    // colours go into the record.
    void ApplyItemLook();
    std::uint32_t& Answer() { return *answer_; }

private:
    NMCUSTOMDRAW* record_;
    std::uint32_t* answer_;
    TSvFont font_;
    bool fontChanged_ = false;
    TColor brush_;
    bool brushChanged_ = false;
};

// The tree's: ResultHandled keeps the answer as the handler wrote it, font and colours apart.
class TSvTvCustomDraw : public TSvCustomDraw {
public:
    using TSvCustomDraw::TSvCustomDraw;
    void Apply() override;
};

class TSvLvCustomDraw : public TSvCustomDraw {
public:
    using TSvCustomDraw::TSvCustomDraw;
    void Apply() override;
};

// The custom-draw events of a tree view for one record; an unset event is not assigned.
struct TSvTvCustomDrawEvents {
    std::function<std::unique_ptr<TSvCustomDraw>()> create;  // the control's draw object
    std::function<void(TSvCustomDraw&)> everyStage;          // raised at every stage
    std::function<void(TSvCustomDraw&)> itemPrePaint;        // raised at item prepaint only
};
// Raises the events the record's stage calls for, sharing one draw object, applies it, and asks
// for item notifications at (item) prepaint when an event is assigned. The draw object, or
// nullptr when no event is assigned (the answer is then left alone).
std::unique_ptr<TSvCustomDraw> TvCustomDrawStep(const NMCUSTOMDRAW& record, std::uint32_t& answer,
                                                const TSvTvCustomDrawEvents& events);

}  // namespace ql::shellctl
