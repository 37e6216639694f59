#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/core/ClipboardFormats.h"
#include "platform/core/DragFormats.h"
#include "platform/core/com/DataObject.h"
#include "platform/core/com/DragDrop.h"

namespace ql {
namespace {

using namespace com;

std::vector<FORMATETC> Three() { return {HGlobalFormat(1), HGlobalFormat(8), HGlobalFormat(15)}; }

TEST(FormatEnumerator, NextSkipResetAndIndependentClones)
{
    auto e = MakeFormatEnumerator(Three());
    FORMATETC got[5];
    ULONG n = 99;
    EXPECT_EQ(e->Next(1, got, &n), S_OK);
    EXPECT_EQ(n, 1u);
    EXPECT_EQ(got[0].cfFormat, 1);

    ComPtr<IEnumFORMATETC> clone;
    ASSERT_EQ(e->Clone(clone.put()), S_OK);
    EXPECT_EQ(e->Next(5, got, &n), S_FALSE);
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(got[1].cfFormat, 15);
    EXPECT_EQ(e->Next(1, got, &n), S_FALSE);
    EXPECT_EQ(n, 0u);

    e.reset();  // the clone keeps the list alive
    EXPECT_EQ(clone->Next(1, got, nullptr), S_OK);
    EXPECT_EQ(got[0].cfFormat, 8);
    EXPECT_EQ(clone->Reset(), S_OK);
    EXPECT_EQ(clone->Skip(3), S_OK);
    EXPECT_EQ(clone->Reset(), S_OK);
    EXPECT_EQ(clone->Skip(1), S_OK);
    EXPECT_EQ(clone->Skip(3), S_FALSE);
    EXPECT_EQ(clone->Next(1, got, &n), S_FALSE);
}

TEST(FormatEnumerator, AnswersOnlyItsOwnInterfaces)
{
    auto e = MakeFormatEnumerator({});
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(e->QueryInterface(IDataObject::IID_, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(e->QueryInterface(IEnumFORMATETC::IID_, &p), S_OK);
    static_cast<IUnknown*>(p)->Release();
    EXPECT_EQ(GuidToString(IDropTarget::IID_), "{00000122-0000-0000-C000-000000000046}");
}

class ThrowingData : public ComObject<IDataObject> {
public:
    HRESULT GetData(const FORMATETC*, STGMEDIUM*) override { throw std::runtime_error("broken source"); }
    HRESULT GetDataHere(const FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT QueryGetData(const FORMATETC*) override { return S_OK; }
    HRESULT GetCanonicalFormatEtc(const FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT SetData(const FORMATETC*, STGMEDIUM*, bool) override { return E_NOTIMPL; }
    HRESULT EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT DAdvise(const FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
};

TEST(FetchHGlobal, AFailingSourceIsJustAMissingFormat)
{
    auto d = MakeCom<ThrowingData>();
    std::vector<std::uint8_t> out{7};
    EXPECT_FALSE(FetchHGlobal(d.get(), 1, out));
    EXPECT_FALSE(FetchHGlobal(nullptr, 1, out));
}

TEST(XDragDataObject, AnswersFromTargetsDuringTheDragAndFetchesOnlyAtTheDrop)
{
    std::vector<std::string> targets{"UTF8_STRING", "text/plain", "chromium/x-renderer-taint", "text/html"};
    auto obj = MakeCom<XDragDataObject>(targets, nullptr);
    const auto html = static_cast<CLIPFORMAT>(RegisterClipboardFormat(kFormatHtml));
    FORMATETC f = HGlobalFormat(html);
    EXPECT_EQ(obj->QueryGetData(&f), S_OK);
    FORMATETC url = HGlobalFormat(static_cast<CLIPFORMAT>(RegisterClipboardFormat(kFormatUrl)));
    EXPECT_EQ(obj->QueryGetData(&url), DV_E_FORMATETC);
    FORMATETC icon = f;
    icon.dwAspect = DVASPECT_ICON;
    EXPECT_EQ(obj->QueryGetData(&icon), DV_E_FORMATETC);
    FORMATETC stream = f;
    stream.tymed = TYMED_ISTREAM;
    EXPECT_EQ(obj->QueryGetData(&stream), DV_E_TYMED);

    STGMEDIUM m;
    EXPECT_EQ(obj->GetData(&f, &m), E_UNEXPECTED);  // nothing is handed over before the drop

    int calls = 0;
    obj->BeginDrop([&](const std::string& t) -> std::optional<std::string> {
        ++calls;
        if (t == "text/html")
            return std::string("<u>z</u>");
        if (t == "UTF8_STRING")
            return std::string("z");
        return std::nullopt;
    });
    ASSERT_EQ(obj->GetData(&f, &m), S_OK);
    EXPECT_EQ(m.tymed, TYMED_HGLOBAL);
    EXPECT_NE(TextUpToNul(m).find("<!--StartFragment--><u>z</u><!--EndFragment-->"), std::string::npos);
    ASSERT_EQ(obj->GetData(&f, &m), S_OK);
    FORMATETC text = HGlobalFormat(CF_TEXT);
    ASSERT_EQ(obj->GetData(&text, &m), S_OK);
    EXPECT_EQ(TextUpToNul(m), "z");
    EXPECT_EQ(calls, 3);  // taint (no data), html, text: each once
    EXPECT_EQ(obj->Fetched(), (std::vector<std::string>{"chromium/x-renderer-taint", "text/html", "UTF8_STRING"}));
    obj->EndDrop();
    EXPECT_EQ(obj->GetData(&text, &m), E_UNEXPECTED);
}

TEST(XDragDataObject, EnumeratesOfferedFormatsForGetOnly)
{
    auto obj = MakeCom<XDragDataObject>(std::vector<std::string>{"text/plain", "text/uri-list"}, nullptr);
    ComPtr<IEnumFORMATETC> e;
    EXPECT_EQ(obj->EnumFormatEtc(DATADIR_SET, e.put()), E_NOTIMPL);
    EXPECT_FALSE(e);
    ASSERT_EQ(obj->EnumFormatEtc(DATADIR_GET, e.put()), S_OK);
    FORMATETC got[4];
    ULONG n = 0;
    e->Next(4, got, &n);
    ASSERT_EQ(n, 3u);
    EXPECT_EQ(got[0].cfFormat, RegisterClipboardFormat(kFormatFileName));
    EXPECT_EQ(got[1].cfFormat, CF_TEXT);
    EXPECT_EQ(got[2].cfFormat, CF_HDROP);
    EXPECT_EQ(obj->DAdvise(nullptr, 0, nullptr, nullptr), OLE_E_ADVISENOTSUPPORTED);
}

}  // namespace
}  // namespace ql
