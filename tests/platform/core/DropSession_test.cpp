#include "platform/core/DropSession.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/core/ClipboardFormats.h"

namespace ql {
namespace {

using namespace com;

// Logs every call; answers with the configured results and effects.
class LogTarget : public ComObject<IDropTarget> {
public:
    std::vector<std::string> log;
    HRESULT overResult = S_OK;
    DWORD overEffect = DROPEFFECT_COPY;
    DWORD dropEffect = DROPEFFECT_COPY;
    std::string dropped;
    std::function<void()> onDrop;  // runs inside Drop, before the data is read

    HRESULT DragEnter(IDataObject*, DWORD keys, POINTL pt, DWORD*) override
    {
        log.push_back("enter " + std::to_string(keys) + " " + std::to_string(pt.x) + "," + std::to_string(pt.y));
        return S_OK;
    }
    HRESULT DragOver(DWORD, POINTL, DWORD* effect) override
    {
        log.push_back("over");
        *effect = overEffect;
        return overResult;
    }
    HRESULT DragLeave() override
    {
        log.push_back("leave");
        return S_OK;
    }
    HRESULT Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override
    {
        log.push_back("drop");
        if (onDrop)
            onDrop();
        std::vector<std::uint8_t> block;
        if (FetchHGlobal(data, CF_TEXT, block))
            dropped.assign(block.begin(), block.end() - 1);
        *effect = dropEffect;
        return S_OK;
    }
};

ComPtr<XDragDataObject> TextDrag()
{
    return MakeCom<XDragDataObject>(std::vector<std::string>{"UTF8_STRING"}, nullptr);
}

drag::Fetcher Source(std::vector<std::string>* asked = nullptr)
{
    return [asked](const std::string& t) -> std::optional<std::string> {
        if (asked)
            asked->push_back(t);
        return std::string("dropped text");
    };
}

const DWORD kAll = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

TEST(DropSession, ChoosesOneEffectTheSourceAllows)
{
    EXPECT_EQ(ChooseDropEffect(DROPEFFECT_COPY | DROPEFFECT_MOVE, kAll), DROPEFFECT_COPY);
    EXPECT_EQ(ChooseDropEffect(DROPEFFECT_LINK | DROPEFFECT_SCROLL, kAll), DROPEFFECT_LINK);
    EXPECT_EQ(ChooseDropEffect(DROPEFFECT_MOVE, DROPEFFECT_MOVE), DROPEFFECT_MOVE);
    EXPECT_EQ(ChooseDropEffect(DROPEFFECT_LINK, DROPEFFECT_COPY | DROPEFFECT_MOVE), DROPEFFECT_COPY);
    EXPECT_EQ(ChooseDropEffect(DROPEFFECT_COPY, DROPEFFECT_MOVE), DROPEFFECT_NONE);
    EXPECT_EQ(ChooseDropEffect(DROPEFFECT_NONE, kAll), DROPEFFECT_NONE);
    EXPECT_EQ(KeyStateFrom(true, false, true, false, true, false), MK_LBUTTON | MK_RBUTTON | MK_CONTROL);
}

TEST(DropSession, DragWeStartedReportsTheDropTheTargetMade)
{
    EXPECT_EQ(StartedDragEffect(DROPEFFECT_COPY, DROPEFFECT_COPY | DROPEFFECT_MOVE), DROPEFFECT_COPY);
    EXPECT_EQ(StartedDragEffect(DROPEFFECT_MOVE, DROPEFFECT_COPY | DROPEFFECT_MOVE), DROPEFFECT_MOVE);
    // Offered as a copy because the toolkit has no link-only drag: the copy made is the link.
    EXPECT_EQ(StartedDragEffect(DROPEFFECT_COPY, DROPEFFECT_LINK), DROPEFFECT_LINK);
    EXPECT_EQ(StartedDragEffect(DROPEFFECT_MOVE, DROPEFFECT_COPY | DROPEFFECT_LINK), DROPEFFECT_LINK);
    EXPECT_EQ(StartedDragEffect(DROPEFFECT_LINK, DROPEFFECT_COPY), DROPEFFECT_COPY);
    // A move-only source whose data the target copied must not delete its original.
    EXPECT_EQ(StartedDragEffect(DROPEFFECT_COPY, DROPEFFECT_MOVE), DROPEFFECT_NONE);
}

TEST(DropSession, LeaveJustBeforeTheDropIsNotACancel)
{
    auto t = MakeCom<LogTarget>();
    DropSession s(t.get());
    EXPECT_EQ(s.Enter(TextDrag(), MK_LBUTTON, POINTL{5, 6}, kAll), DROPEFFECT_COPY);
    EXPECT_EQ(s.Over(MK_LBUTTON, {}, kAll), DROPEFFECT_COPY);
    s.LeaveSoon();
    ASSERT_TRUE(s.DropStarting());
    s.FlushLeave();  // the idle flush arrives between the drop and its data
    std::vector<std::string> asked;
    EXPECT_EQ(s.Drop(Source(&asked), 0, {}, kAll), DROPEFFECT_COPY);
    EXPECT_EQ(t->log, (std::vector<std::string>{"enter 1 5,6", "over", "over", "drop"}));
    EXPECT_EQ(t->dropped, "dropped text");
    EXPECT_EQ(asked, std::vector<std::string>{"UTF8_STRING"});
    EXPECT_FALSE(s.InDrag());
}

TEST(DropSession, RealLeaveIsPassedOnOnce)
{
    auto t = MakeCom<LogTarget>();
    DropSession s(t.get());
    s.Enter(TextDrag(), 0, {}, kAll);
    s.LeaveSoon();
    s.FlushLeave();
    s.FlushLeave();
    EXPECT_EQ(t->log, (std::vector<std::string>{"enter 0 0,0", "over", "leave"}));
    // A drag that comes back starts afresh; one whose end was never reported ends first.
    s.Enter(TextDrag(), 0, {}, kAll);
    s.Enter(TextDrag(), 0, {}, kAll);
    EXPECT_EQ(t->log.size(), 8u);
    EXPECT_EQ(t->log[5], "leave");
}

TEST(DropSession, RefusedDragIsRefusedToTheSource)
{
    auto t = MakeCom<LogTarget>();
    DropSession s(t.get());
    t->overResult = S_FALSE;  // nothing usable offered
    EXPECT_EQ(s.Enter(TextDrag(), 0, {}, kAll), DROPEFFECT_NONE);
    EXPECT_EQ(s.Over(0, {}, kAll), DROPEFFECT_NONE);
    EXPECT_FALSE(s.DropStarting());
    EXPECT_EQ(t->log.back(), "leave");
    EXPECT_EQ(s.Drop(Source(), 0, {}, kAll), DROPEFFECT_NONE);
    EXPECT_EQ(std::count(t->log.begin(), t->log.end(), "drop"), 0);

    t->overResult = S_OK;
    t->overEffect = DROPEFFECT_NONE;
    s.Enter(TextDrag(), 0, {}, kAll);
    EXPECT_EQ(s.Over(0, {}, kAll), DROPEFFECT_NONE);
    EXPECT_FALSE(s.DropStarting());
}

// The first motion over a window may come as the entry alone, with the drop right after it.
TEST(DropSession, EntryIsDecidedByADragOverAtTheSamePoint)
{
    auto t = MakeCom<LogTarget>();
    DropSession s(t.get());
    t->overEffect = DROPEFFECT_LINK;
    EXPECT_EQ(s.Enter(TextDrag(), MK_LBUTTON, POINTL{5, 6}, kAll), DROPEFFECT_LINK);
    ASSERT_TRUE(s.DropStarting());
    EXPECT_EQ(s.Drop(Source(), 0, {}, kAll), DROPEFFECT_COPY);
    EXPECT_EQ(t->log, (std::vector<std::string>{"enter 1 5,6", "over", "drop"}));
    EXPECT_EQ(t->dropped, "dropped text");

    // Refused at that first drag-over: the drop that follows is refused too.
    t->log.clear();
    t->overEffect = DROPEFFECT_NONE;
    EXPECT_EQ(s.Enter(TextDrag(), MK_LBUTTON, POINTL{5, 6}, kAll), DROPEFFECT_NONE);
    EXPECT_FALSE(s.DropStarting());
    EXPECT_EQ(t->log, (std::vector<std::string>{"enter 1 5,6", "over", "leave"}));
}

TEST(DropSession, DropAnsweredWithNoEffectIsRefusedAndWindowLossEndsTheDragSilently)
{
    auto t = MakeCom<LogTarget>();
    {
        DropSession s(t.get());
        t->dropEffect = DROPEFFECT_NONE;
        s.Enter(TextDrag(), 0, {}, kAll);
        s.Over(0, {}, kAll);
        ASSERT_TRUE(s.DropStarting());
        EXPECT_EQ(s.Drop(Source(), 0, {}, kAll), DROPEFFECT_NONE);
        // The registration ends while a drag is over the window: the target hears of it.
        s.Enter(TextDrag(), 0, {}, kAll);
        s.Cancel();
        EXPECT_EQ(t->log.back(), "leave");
        s.Enter(TextDrag(), 0, {}, kAll);
    }
    // The window went away, its owner likely with it: nothing more is said to the target.
    EXPECT_EQ(t->log.back(), "over");
    EXPECT_EQ(t->RefCount(), 1u);
}

// The drop's handlers may end the registration, or destroy the window, while the drop runs;
// the toolkit side keeps the session alive until the drop returns.
TEST(DropSession, RegistrationEndedDuringTheDropLetsTheDropFinish)
{
    auto t = MakeCom<LogTarget>();
    auto owner = std::make_shared<DropSession>(t.get());
    owner->Enter(TextDrag(), 0, {}, kAll);
    ASSERT_TRUE(owner->DropStarting());
    std::shared_ptr<DropSession> keep = owner;
    t->onDrop = [&] {
        owner->Cancel();
        owner->Abandon();
        owner.reset();
    };
    EXPECT_EQ(keep->Drop(Source(), 0, {}, kAll), DROPEFFECT_COPY);
    EXPECT_EQ(t->log, (std::vector<std::string>{"enter 0 0,0", "over", "drop"}));
    EXPECT_EQ(t->dropped, "dropped text");
    EXPECT_FALSE(keep->InDrag());
    keep.reset();
    EXPECT_EQ(t->RefCount(), 1u);
}

}  // namespace
}  // namespace ql
