#include "app/editor/EditCommandTable.h"

#include "platform/core/com/OleCommandTarget.h"
#include "platform/gui/HtmlEditCommands.h"

#include <array>

namespace ql {

namespace {

using B = BrowseAction;
using H = HtmlAction;
using T = TextAction;
using Tag = EditCommandTag;
using namespace ql::web;

constexpr std::uint32_t kDefault = com::OLECMDEXECOPT_DODEFAULT;
constexpr std::uint32_t kPrompt = com::OLECMDEXECOPT_PROMPTUSER;
constexpr std::uint32_t kNoPrompt = com::OLECMDEXECOPT_DONTPROMPTUSER;

// Indexed by tag.
constexpr std::array<EditCommand, kLastEditCommandTag + 1> kEditCommands{{
    {Tag::None, B::None, 0, H::None, 0, 0, T::None},
    {Tag::Bold, B::None, 0, H::Exec, DECMD_BOLD, kNoPrompt, T::None},
    {Tag::Italic, B::None, 0, H::Exec, DECMD_ITALIC, kNoPrompt, T::None},
    {Tag::Underline, B::None, 0, H::Exec, DECMD_UNDERLINE, kNoPrompt, T::None},
    {Tag::FontColor, B::None, 0, H::PickFontColor, 0, 0, T::None},
    {Tag::Numbers, B::None, 0, H::Exec, DECMD_ORDERLIST, kNoPrompt, T::None},
    {Tag::Bullets, B::None, 0, H::Exec, DECMD_UNORDERLIST, kNoPrompt, T::None},
    {Tag::Outdent, B::None, 0, H::Exec, DECMD_OUTDENT, kNoPrompt, T::None},
    {Tag::Indent, B::None, 0, H::Exec, DECMD_INDENT, kNoPrompt, T::None},
    {Tag::LeftJustify, B::None, 0, H::Exec, DECMD_JUSTIFYLEFT, kNoPrompt, T::None},
    {Tag::Center, B::None, 0, H::Exec, DECMD_JUSTIFYCENTER, kNoPrompt, T::None},
    {Tag::RightJustify, B::None, 0, H::Exec, DECMD_JUSTIFYRIGHT, kNoPrompt, T::None},
    {Tag::Picture, B::None, 0, H::Exec, DECMD_IMAGE, kDefault, T::None},
    {Tag::Anchor, B::None, 0, H::Exec, DECMD_HYPERLINK, kNoPrompt, T::None},
    {Tag::Undo, B::None, 0, H::Exec, DECMD_UNDO, kNoPrompt, T::Undo},
    {Tag::Redo, B::None, 0, H::Exec, DECMD_REDO, kNoPrompt, T::None},
    {Tag::Cut, B::DocumentCommand, com::OLECMDID_CUT, H::Exec, DECMD_CUT, kNoPrompt, T::Cut},
    {Tag::Copy, B::CopySelection, 0, H::Exec, DECMD_COPY, kNoPrompt, T::Copy},
    {Tag::Paste, B::DocumentCommand, com::OLECMDID_PASTE, H::Exec, DECMD_PASTE, kNoPrompt, T::Paste},
    {Tag::Delete, B::None, 0, H::Exec, DECMD_DELETE, kNoPrompt, T::Delete},
    {Tag::SelectAll, B::SelectAll, 0, H::Exec, DECMD_SELECTALL, kNoPrompt, T::SelectAll},
    {Tag::Find, B::FindDialog, 0, H::Exec, DECMD_FINDTEXT, kPrompt, T::Find},
}};

constexpr bool TagsMatchIndexes()
{
    for (std::size_t i = 0; i < kEditCommands.size(); ++i)
        if (static_cast<std::size_t>(kEditCommands[i].tag) != i)
            return false;
    return true;
}
static_assert(TagsMatchIndexes(), "each entry sits at the index of its tag");

}  // namespace

const EditCommand& EditCommandOfTag(int tag)
{
    if (tag < kFirstEditCommandTag || tag > kLastEditCommandTag)
        return kEditCommands[0];
    return kEditCommands[static_cast<std::size_t>(tag)];
}

}  // namespace ql
