#include "components/shell/CustomDraw.h"

namespace ql::shellctl {

TSvCustomDraw::TSvCustomDraw(NMCUSTOMDRAW* record, const TSvFont& controlFont, std::uint32_t* answer)
    : record_(record), answer_(answer), font_(controlFont), brush_(record->bkColor)
{
    ResultHandled = false;
    font_.color = record->textColor;
}

int TSvCustomDraw::DrawStage() const
{
    switch (record_->dwDrawStage) {
    case CDDS_PREPAINT:
        return 1;
    case CDDS_POSTPAINT:
        return 2;
    case CDDS_ITEMPREPAINT:
        return 4;
    case CDDS_ITEMPOSTPAINT:
        return 5;
    default:
        return 0;
    }
}

void TSvCustomDraw::ApplyItemLook()
{
    if (fontChanged_) {
        if (!(font_.name == record_->selectedFont.name && font_.size == record_->selectedFont.size &&
              font_.bold == record_->selectedFont.bold && font_.italic == record_->selectedFont.italic &&
              font_.underline == record_->selectedFont.underline)) {
            record_->selectedFont = font_;
            *answer_ |= CDRF_NEWFONT;
        }
        record_->clrText = font_.color;
    }
    if (brushChanged_)
        record_->clrTextBk = brush_;
}

void TSvTvCustomDraw::Apply()
{
    if (!ResultHandled)
        Answer() = 0;
    const int stage = DrawStage();
    if (stage == 1 && !ResultHandled && NotifyItemDraw)
        Answer() |= CDRF_NOTIFYITEMDRAW;
    if (stage == 4) {
        if (!SkipDefault)
            ApplyItemLook();
        else if (!ResultHandled)
            Answer() |= CDRF_SKIPDEFAULT;
    }
}

void TSvLvCustomDraw::Apply()
{
    Answer() = 0;
    const int stage = DrawStage();
    if (stage == 1 && NotifyItemDraw)
        Answer() |= CDRF_NOTIFYITEMDRAW;
    if (stage == 4) {
        if (SkipDefault)
            Answer() |= CDRF_SKIPDEFAULT;
        else
            ApplyItemLook();
    }
}

std::unique_ptr<TSvCustomDraw> TvCustomDrawStep(const NMCUSTOMDRAW& record, std::uint32_t& answer,
                                                const TSvTvCustomDrawEvents& events)
{
    std::unique_ptr<TSvCustomDraw> cd;
    if (events.everyStage) {
        cd = events.create();
        events.everyStage(*cd);
    }
    if (events.itemPrePaint && (record.dwDrawStage & CDDS_ITEMPREPAINT) == CDDS_ITEMPREPAINT) {
        if (!cd)
            cd = events.create();
        events.itemPrePaint(*cd);
    }
    if (cd)
        cd->Apply();
    if ((record.dwDrawStage & CDDS_PREPAINT) && (events.everyStage || events.itemPrePaint))
        answer |= CDRF_NOTIFYITEMDRAW;
    return cd;
}

}  // namespace ql::shellctl
