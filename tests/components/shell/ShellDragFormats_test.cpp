#include <gtest/gtest.h>

#include "components/shell/ShellDragFormats.h"
#include "components/shell/ShellListDataObject.h"
#include "platform/core/ClipboardFormats.h"
#include "platform/core/FileDropFormats.h"
#include "platform/core/shell/IdListArray.h"
#include "platform/core/shell/ShellObjects.h"

using namespace ql;
using namespace ql::com;
using namespace ql::shellctl;

namespace {

FORMATETC Request(CLIPFORMAT cf, DWORD tymed, DWORD aspect = DVASPECT_CONTENT)
{
    FORMATETC f = HGlobalFormat(cf);
    f.tymed = tymed;
    f.dwAspect = aspect;
    return f;
}

TEST(FormatEtcList, QueryFormatAnswersAspectMediumAndFormat)
{
    TSvFormatEtcList list({CF_HDROP, CF_TEXT});
    EXPECT_EQ(list.QueryFormat(Request(CF_HDROP, TYMED_HGLOBAL)), S_OK);
    EXPECT_EQ(list.QueryFormat(Request(CF_HDROP, TYMED_HGLOBAL | TYMED_ISTREAM)), S_OK);
    EXPECT_EQ(list.QueryFormat(Request(CF_HDROP, TYMED_ISTREAM)), DV_E_TYMED);
    EXPECT_EQ(list.QueryFormat(Request(CF_HDROP, TYMED_HGLOBAL, DVASPECT_ICON)), DV_E_FORMATETC);
    EXPECT_EQ(list.QueryFormat(Request(CF_DIB, TYMED_HGLOBAL)), DV_E_FORMATETC);
}

TEST(FormatEtcList, EnumeratorNextSkipCloneAndOutlivingItsOwner)
{
    auto list = std::make_shared<TSvFormatEtcList>(std::vector<CLIPFORMAT>{1, 8, 15});
    ComPtr<IEnumFORMATETC> e = EnumerateFormats(list);
    list.reset();  // the data object is gone; the enumerator still walks the formats

    FORMATETC got[5];
    ULONG fetched = 99;
    ASSERT_EQ(e->Next(1, got, &fetched), S_OK);
    EXPECT_EQ(fetched, 1u);
    EXPECT_EQ(got[0].cfFormat, 1);

    ComPtr<IEnumFORMATETC> clone;
    ASSERT_EQ(e->Clone(clone.put()), S_OK);
    EXPECT_EQ(e->Next(5, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 2u);
    EXPECT_EQ(got[0].cfFormat, 8);
    EXPECT_EQ(got[1].cfFormat, 15);
    EXPECT_EQ(e->Next(1, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);

    // The clone goes on from where it was made.
    ASSERT_EQ(clone->Next(1, got, nullptr), S_OK);
    EXPECT_EQ(got[0].cfFormat, 8);

    e->Reset();
    EXPECT_EQ(e->Skip(1), S_OK);
    EXPECT_EQ(e->Skip(3), S_FALSE);  // past the end: stops there
    EXPECT_EQ(e->Next(1, got, &fetched), S_FALSE);
    e->Reset();
    e->Skip(1);
    EXPECT_EQ(e->Skip(2), S_OK);
}

TEST(DragPayloads, FileListSizedForEveryPathAndLongOnes)
{
    std::vector<std::uint8_t> block;
    ASSERT_EQ(MakeHDropHGlobal({"/a/b", "/c/d"}, block), S_OK);
    ASSERT_EQ(block.size(), 541u);
    EXPECT_EQ(block[0], 20);
    EXPECT_EQ(std::string(block.begin() + 20, block.begin() + 31), std::string("/a/b\0/c/d\0\0", 11));
    for (std::size_t i = 31; i < block.size(); ++i)
        ASSERT_EQ(block[i], 0) << i;

    ASSERT_EQ(MakeHDropHGlobal({}, block), S_OK);
    EXPECT_EQ(block, std::vector<std::uint8_t>(21, 0));

    // Linux paths can be far longer than 259 bytes: the block grows and nothing is cut.
    const std::string longPath = "/" + std::string(400, 'x');
    ASSERT_EQ(MakeHDropHGlobal({longPath, "/s"}, block), S_OK);
    EXPECT_EQ(block.size(), 20u + 402 + 260 + 1);
    EXPECT_EQ(ParseHDrop(block), (std::vector<std::string>{longPath, "/s"}));
}

TEST(DragPayloads, IdListArrayAndTextExactly)
{
    auto item = shell::ItemIdList::FromItems({std::string(16, 'i')});  // one item of 18 bytes: 20 with the end
    ASSERT_TRUE(item);
    ASSERT_EQ(item->Size(), 20u);
    std::vector<std::uint8_t> block;
    ASSERT_EQ(MakeIdListArrayHGlobal(nullptr, {&*item}, block), S_OK);
    ASSERT_EQ(block.size(), 34u);
    EXPECT_EQ(block[0], 1);
    EXPECT_EQ(block[4], 12);
    EXPECT_EQ(block[8], 14);
    EXPECT_EQ(block[12] | block[13], 0);
    EXPECT_TRUE(std::equal(item->Bytes().begin(), item->Bytes().end(), block.begin() + 14));

    ASSERT_EQ(MakeTextHGlobal("ab", block), S_OK);
    EXPECT_EQ(block, (std::vector<std::uint8_t>{'a', 'b', 0}));
}

TEST(DropSource, ButtonsEscapeAndRelease)
{
    TDropSource_shlvtv* left = new TDropSource_shlvtv(0);
    EXPECT_EQ(left->QueryContinueDrag(true, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(left->QueryContinueDrag(false, MK_LBUTTON | MK_RBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(left->QueryContinueDrag(false, MK_LBUTTON | MK_SHIFT), S_OK);
    EXPECT_EQ(left->QueryContinueDrag(false, 0), DRAGDROP_S_DROP);
    EXPECT_EQ(left->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
    left->Release();

    auto right = ComPtr<TDropSource_shlvtv>::Adopt(new TDropSource_shlvtv(1));
    EXPECT_EQ(right->QueryContinueDrag(false, MK_RBUTTON), S_OK);
    EXPECT_EQ(right->QueryContinueDrag(false, MK_RBUTTON | MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(DragButtonMask(2), MK_MBUTTON);
    EXPECT_EQ(DragButtonMask(3), 0u);  // an unknown button starts no drag
}

TEST(ListDataObject, ThreeFormatsInOrderWithFreshCopies)
{
    auto folder = shell::ItemIdList::FromItems({"folder"});
    auto a = shell::ItemIdList::FromItems({"a"});
    auto b = shell::ItemIdList::FromItems({"b"});
    ShellDragItems items{&*folder, {&*a, &*b}, {"/x/a", "/x/b"}};
    ComPtr<IDataObject> data = TDataObject_shlv::Create(items);
    ASSERT_TRUE(data);

    ComPtr<IEnumFORMATETC> e;
    ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, e.put()), S_OK);
    FORMATETC f[4];
    ULONG n = 0;
    e->Next(4, f, &n);
    ASSERT_EQ(n, 3u);
    EXPECT_EQ(f[0].cfFormat, shell::ShellIdListFormat());
    EXPECT_EQ(f[1].cfFormat, CF_HDROP);
    EXPECT_EQ(f[2].cfFormat, CF_TEXT);
    data.reset();  // the enumerator keeps its formats
    EXPECT_EQ(e->Reset(), S_OK);
    EXPECT_EQ(e->Next(1, f, &n), S_OK);

    data = TDataObject_shlv::Create(items);
    STGMEDIUM m;
    FORMATETC text = HGlobalFormat(CF_TEXT);
    ASSERT_EQ(data->GetData(&text, &m), S_OK);
    EXPECT_EQ(TextUpToNul(m), "/x/a\r\n/x/b\r\n");
    m.hGlobal.clear();  // the receiver's copy; the next fetch is whole again
    ASSERT_EQ(data->GetData(&text, &m), S_OK);
    EXPECT_EQ(TextUpToNul(m), "/x/a\r\n/x/b\r\n");

    FORMATETC ids = HGlobalFormat(static_cast<CLIPFORMAT>(shell::ShellIdListFormat()));
    ASSERT_EQ(data->GetData(&ids, &m), S_OK);
    auto parsed = shell::ParseIdListArray(m.hGlobal);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->folder, *folder);
    EXPECT_EQ(parsed->items, (std::vector<shell::ItemIdList>{*a, *b}));

    FORMATETC dib = HGlobalFormat(CF_DIB);
    EXPECT_EQ(data->GetData(&dib, &m), DV_E_FORMATETC);
    EXPECT_EQ(data->EnumFormatEtc(DATADIR_SET, e.put()), E_NOTIMPL);

    EXPECT_FALSE(TDataObject_shlv::Create(ShellDragItems{}));  // nothing selected: no drag
}

}  // namespace
