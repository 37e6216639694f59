#pragma once
// A page's document as the capture code sees it: URL, title, body markup and a selection
// (none, text or a control), each a plain field a test sets. Objects count their references.
#include "platform/core/com/HtmlDocument.h"

#include <functional>
#include <string>

namespace ql::test {

// IDispatch for objects that are only ever called through their own interface.
template <class I>
class NoDispatch : public com::ComObject<I> {
public:
    com::HRESULT GetTypeInfoCount(std::uint32_t*) override { return com::E_NOTIMPL; }
    com::HRESULT GetTypeInfo(std::uint32_t, com::LCID, com::ITypeInfo**) override { return com::E_NOTIMPL; }
    com::HRESULT GetIDsOfNames(const com::IID&, const std::u16string*, std::uint32_t, com::LCID, com::DISPID*) override
    {
        return com::E_NOTIMPL;
    }
    com::HRESULT Invoke(com::DISPID, const com::IID&, com::LCID, com::WORD, com::DISPPARAMS*, com::Variant*,
                        com::EXCEPINFO*, std::uint32_t*) override
    {
        return com::E_NOTIMPL;
    }
};

class FakeElement final : public NoDispatch<com::IHTMLElement> {
public:
    explicit FakeElement(std::u16string outer) : outer_(std::move(outer)) {}
    com::HRESULT getAttribute(const std::u16string&, std::int32_t, com::Variant*) override { return com::E_NOTIMPL; }
    com::HRESULT setAttribute(const std::u16string&, const com::Variant&, std::int32_t) override
    {
        return com::E_NOTIMPL;
    }
    com::HRESULT get_tagName(std::u16string* name) override { return *name = u"BODY", com::S_OK; }
    com::HRESULT get_innerHTML(std::u16string*) override { return com::E_NOTIMPL; }
    com::HRESULT put_innerHTML(const std::u16string&) override { return com::E_NOTIMPL; }
    com::HRESULT get_outerHTML(std::u16string* html) override { return *html = outer_, com::S_OK; }
    com::HRESULT put_outerHTML(const std::u16string&) override { return com::E_NOTIMPL; }

private:
    std::u16string outer_;
};

class FakeTxtRange final : public NoDispatch<com::IHTMLTxtRange> {
public:
    FakeTxtRange(std::u16string text, std::u16string html) : text_(std::move(text)), html_(std::move(html)) {}
    com::HRESULT get_htmlText(std::u16string* html) override { return *html = html_, com::S_OK; }
    com::HRESULT get_text(std::u16string* text) override { return *text = text_, com::S_OK; }
    com::HRESULT pasteHTML(const std::u16string&) override { return com::E_NOTIMPL; }
    com::HRESULT collapse(bool) override { return com::E_NOTIMPL; }
    com::HRESULT findText(const std::u16string&, std::int32_t, std::int32_t, bool*) override { return com::E_NOTIMPL; }
    com::HRESULT select() override { return com::E_NOTIMPL; }
    com::HRESULT wrapText(const std::u16string&, const std::u16string&) override { return com::E_NOTIMPL; }

private:
    std::u16string text_, html_;
};

struct FakePage {
    std::u16string url = u"http://example.test/page.html";
    std::u16string title = u"Example page";
    std::u16string bodyOuterHtml = u"<body><p>whole\npage</p></body>";
    std::u16string selectionType = u"None";  // "None", "Text" or "Control"
    std::u16string selectionText;
    std::u16string selectionHtml;
    bool failTitle = false;            // get_title fails, as on a document that does not offer it
    std::function<void()> onFirstUrl;  // runs inside the first get_URL call
};

class FakeSelection final : public NoDispatch<com::IHTMLSelectionObject> {
public:
    explicit FakeSelection(const FakePage& page) : page_(page) {}
    com::HRESULT get_type(std::u16string* type) override { return *type = page_.selectionType, com::S_OK; }
    com::HRESULT createRange(com::IDispatch** range) override
    {
        *range = com::MakeCom<FakeTxtRange>(page_.selectionText, page_.selectionHtml).detach();
        return com::S_OK;
    }

private:
    FakePage page_;
};

class FakeDocument final : public NoDispatch<com::IHTMLDocument2> {
public:
    explicit FakeDocument(FakePage page) : page(std::move(page)) {}
    FakePage page;
    int urlReads = 0;

    com::HRESULT get_body(com::IHTMLElement** body) override
    {
        *body = com::MakeCom<FakeElement>(page.bodyOuterHtml).detach();
        return com::S_OK;
    }
    com::HRESULT get_images(com::IHTMLElementCollection**) override { return com::E_NOTIMPL; }
    com::HRESULT get_links(com::IHTMLElementCollection**) override { return com::E_NOTIMPL; }
    com::HRESULT get_selection(com::IHTMLSelectionObject** selection) override
    {
        *selection = com::MakeCom<FakeSelection>(page).detach();
        return com::S_OK;
    }
    com::HRESULT get_title(std::u16string* title) override
    {
        if (page.failTitle)
            return com::E_FAIL;
        *title = page.title;
        return com::S_OK;
    }
    com::HRESULT get_URL(std::u16string* url) override
    {
        if (urlReads++ == 0 && page.onFirstUrl)
            page.onFirstUrl();
        *url = page.url;
        return com::S_OK;
    }
    com::HRESULT get_bgColor(com::Variant*) override { return com::E_NOTIMPL; }
    com::HRESULT put_bgColor(const com::Variant&) override { return com::E_NOTIMPL; }
    com::HRESULT execCommand(const std::u16string&, bool, const com::Variant&, bool*) override
    {
        return com::E_NOTIMPL;
    }
    com::HRESULT queryCommandSupported(const std::u16string&, bool*) override { return com::E_NOTIMPL; }
    com::HRESULT queryCommandEnabled(const std::u16string&, bool*) override { return com::E_NOTIMPL; }
    com::HRESULT queryCommandState(const std::u16string&, bool*) override { return com::E_NOTIMPL; }
    com::HRESULT queryCommandIndeterm(const std::u16string&, bool*) override { return com::E_NOTIMPL; }
    com::HRESULT queryCommandValue(const std::u16string&, com::Variant*) override { return com::E_NOTIMPL; }
};

}  // namespace ql::test
