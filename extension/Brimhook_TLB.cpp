#include "extension/Brimhook_TLB.h"

namespace ql::brimhook {

namespace {

constexpr TypeLibMethod kMethods[] = {
    {IquilloryDispId::SaveSelection, "SaveSelection", "iedoc", com::VT_DISPATCH, 7},
    {IquilloryDispId::SaveWhole, "SaveWhole", "iedoc", com::VT_DISPATCH, 8},
    {IquilloryDispId::SaveFromButton, "SaveFromButton", "iedoc", com::VT_DISPATCH, 9},
};

constexpr TypeLibrary kLibrary{
    {"Brimhook", LIBID_Brimhook, "Brimhook Library"},
    1,
    0,
    {"Iquillory", IID_Iquillory, "Dispatch interface for quillory Object"},
    {"quillory", CLASS_quillory, "quillory Object"},
    kMethods,
};

char16_t foldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

}  // namespace

bool SameNameNoCase(std::u16string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldAscii(a[i]) != foldAscii(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

const TypeLibrary& BrimhookTypeLibrary() { return kLibrary; }

const TypeLibMethod* FindMethod(std::u16string_view name)
{
    for (const auto& m : kMethods)
        if (SameNameNoCase(name, m.name))
            return &m;
    return nullptr;
}

const TypeLibMethod* FindMethod(com::DISPID id)
{
    for (const auto& m : kMethods)
        if (static_cast<com::DISPID>(m.dispid) == id)
            return &m;
    return nullptr;
}

}  // namespace ql::brimhook
