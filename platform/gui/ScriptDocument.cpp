#include "platform/gui/ScriptDocument.h"

#include "platform/gui/CssValues.h"
#include "platform/gui/DomScript.h"
#include "platform/gui/PageScheme.h"

#include <atomic>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace ql::web {

using namespace ql::com;

namespace {

std::string Q8(const std::u16string& text) { return json::Quote(Utf8FromWide(text)); }

// The engine and document generation an object belongs to.
class Link {
public:
    Link(std::weak_ptr<DocumentEngine> engine, std::uint64_t generation)
        : engine_(std::move(engine)), generation_(generation)
    {
    }
    // The engine while it still shows our document; nullptr otherwise.
    std::shared_ptr<DocumentEngine> Engine() const
    {
        auto e = engine_.lock();
        if (!e || !e->HasDocument() || e->DocumentGeneration() != generation_)
            return nullptr;
        return e;
    }
    HRESULT Run(const std::string& body, json::Value* value) const
    {
        auto e = Engine();
        return e ? RunDomScript(*e, body, value) : E_FAIL;
    }
    // Runs `body` and stores what `convert` makes of its result; `out` is left alone on failure.
    template <class T, class Convert>
    HRESULT Result(const std::string& body, T* out, Convert convert) const
    {
        if (!out)
            return E_POINTER;
        json::Value v;
        HRESULT hr = Run(body, &v);
        if (FAILED(hr))
            return hr;
        *out = convert(v);
        return S_OK;
    }
    HRESULT Text(const std::string& body, std::u16string* out) const
    {
        return Result(body, out, [](const json::Value& v) {
            const std::string* s = v.AsString();
            return s ? WideFromUtf8(*s) : std::u16string();
        });
    }
    HRESULT Flag(const std::string& body, bool* out) const
    {
        return Result(body, out, [](const json::Value& v) {
            const bool* b = v.AsBool();
            return b && *b;
        });
    }
    std::uint64_t Generation() const { return generation_; }

private:
    std::weak_ptr<DocumentEngine> engine_;
    std::uint64_t generation_;
};

// Reference counting, QueryInterface over the listed interfaces, and IDispatch by name over
// the script object `self` (a script expression).
// Objects registered with Q.put for our objects; the script side lets go of them when the
// last of our objects using them is released (else every handle stays until the page changes).
class Handles {
public:
    Handles(Link link, std::vector<std::string> handles) : link_(std::move(link)), handles_(std::move(handles)) {}
    ~Handles()
    {
        if (handles_.empty())
            return;
        std::string list;
        for (const auto& h : handles_)
            list += (list.empty() ? "" : ",") + h;
        link_.Run("Q.drop([" + list + "])", nullptr);
    }
    Handles(const Handles&) = delete;
    Handles& operator=(const Handles&) = delete;

private:
    Link link_;
    std::vector<std::string> handles_;
};

template <class First, class... Rest>
class ScriptObject : public First, public Rest... {
public:
    HRESULT QueryInterface(const IID& iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IDispatch::IID_)
            *object = static_cast<IDispatch*>(static_cast<First*>(this));
        else if (iid == First::IID_)
            *object = static_cast<First*>(this);
        else
            (void)((iid == Rest::IID_ && Answers(iid) ? (*object = static_cast<Rest*>(this), true) : false) || ...);
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override
    {
        ULONG n = --refs_;
        if (n == 0)
            delete this;
        return n;
    }

    HRESULT GetTypeInfoCount(std::uint32_t* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(std::uint32_t, LCID, ITypeInfo** info) override
    {
        if (info)
            *info = nullptr;
        return DISP_E_BADINDEX;
    }
    HRESULT GetIDsOfNames(const IID&, const std::u16string* names, std::uint32_t count, LCID, DISPID* ids) override
    {
        if (!names || !ids)
            return E_POINTER;
        HRESULT result = S_OK;
        for (std::uint32_t i = 0; i < count; ++i) {
            json::Value known;
            HRESULT hr = link_.Run("Q.name(" + self_ + "," + Q8(names[i]) + ")!==null", &known);
            if (FAILED(hr))
                return hr;
            if (!known.AsBool() || !*known.AsBool()) {
                ids[i] = DISPID_UNKNOWN;
                result = DISP_E_UNKNOWNNAME;
                continue;
            }
            std::string name = Utf8FromWide(names[i]);
            std::size_t at = 0;
            while (at < names_.size() && names_[at] != name)
                ++at;
            if (at == names_.size())
                names_.push_back(name);
            ids[i] = kFirstId + static_cast<DISPID>(at);
        }
        return result;
    }
    HRESULT Invoke(DISPID id, const IID&, LCID, WORD flags, DISPPARAMS* params, Variant* result, EXCEPINFO*,
                   std::uint32_t* argErr) override
    {
        if (id < kFirstId || static_cast<std::size_t>(id - kFirstId) >= names_.size())
            return DISP_E_MEMBERNOTFOUND;
        std::string args = "[";
        if (params) {
            for (std::size_t i = 0; i < params->args.size(); ++i) {
                std::string one;
                if (!VariantToJson(params->args[i], one)) {
                    if (argErr)
                        *argErr = static_cast<std::uint32_t>(i);
                    return DISP_E_TYPEMISMATCH;
                }
                args += (i ? "," : "") + one;
            }
        }
        args += "]";
        if ((flags & DISPATCH_PROPERTYPUT) && (!params || params->args.size() != 1))
            return DISP_E_BADPARAMCOUNT;
        json::Value v;
        HRESULT hr = link_.Run("Q.invoke(" + self_ + "," + json::Quote(names_[id - kFirstId]) + "," +
                                   std::to_string(flags) + "," + args + ")",
                               &v);
        if (FAILED(hr))
            return hr;
        if (result)
            *result = (flags & DISPATCH_PROPERTYPUT) ? Variant() : VariantFromJson(v);
        return S_OK;
    }

protected:
    ScriptObject(Link link, std::string self) : link_(std::move(link)), self_(std::move(self)) {}
    virtual ~ScriptObject() = default;
    // Lets an object turn down one of its listed interfaces.
    virtual bool Answers(const IID&) const { return true; }

    // The script expression of a registered object.
    static std::string HandleExpr(const json::Value& handle) { return "Q.get(" + json::Encode(handle) + ")"; }

    Link link_;
    std::string self_;

public:
    std::shared_ptr<const Handles> owned;  // the registered objects self_ names

private:
    static constexpr DISPID kFirstId = 1000;
    std::vector<std::string> names_;
    std::atomic<ULONG> refs_{1};
};

template <class T, class... Args>
T* New(Args&&... args)
{
    return new T(std::forward<Args>(args)...);
}

class TxtRange final : public ScriptObject<IHTMLTxtRange> {
public:
    TxtRange(Link link, std::string self) : ScriptObject(std::move(link), std::move(self)) {}

    HRESULT get_htmlText(std::u16string* html) override { return link_.Text("Q.htmlText(" + self_ + ")", html); }
    HRESULT get_text(std::u16string* text) override { return link_.Text("Q.text(" + self_ + ")", text); }
    HRESULT pasteHTML(const std::u16string& html) override
    {
        return link_.Run("Q.pasteHTML(" + self_ + "," + Q8(html) + ")", nullptr);
    }
    HRESULT collapse(bool toStart) override
    {
        return link_.Run(self_ + ".collapse(" + (toStart ? "true" : "false") + ")", nullptr);
    }
    HRESULT findText(const std::u16string& text, std::int32_t count, std::int32_t flags, bool* found) override
    {
        return link_.Flag("Q.findText(" + self_ + "," + Q8(text) + "," + std::to_string(count) + "," +
                              std::to_string(flags) + ")",
                          found);
    }
    HRESULT select() override { return link_.Run("Q.select(" + self_ + ")", nullptr); }
    HRESULT wrapText(const std::u16string& tagName, const std::u16string& style) override
    {
        // Only a plain element name goes into createElement.
        if (tagName.empty() || tagName.size() > 32)
            return E_INVALIDARG;
        for (std::size_t i = 0; i < tagName.size(); ++i) {
            char16_t c = tagName[i];
            bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
            if (!letter && !(i > 0 && c >= u'0' && c <= u'9'))
                return E_INVALIDARG;
        }
        return link_.Run("Q.wrapText(" + self_ + "," + Q8(tagName) + "," + Q8(style) + ")", nullptr);
    }
};

HRESULT MakeRange(const Link& link, const std::string& expr, IHTMLTxtRange** range)
{
    if (!range)
        return E_POINTER;
    *range = nullptr;
    json::Value handle;
    HRESULT hr = link.Run("Q.put(" + expr + ")", &handle);
    if (FAILED(hr))
        return hr;
    if (handle.IsNull())
        return E_FAIL;
    auto* r = New<TxtRange>(link, "Q.get(" + json::Encode(handle) + ")");
    r->owned = std::make_shared<Handles>(link, std::vector<std::string>{json::Encode(handle)});
    *range = r;
    return S_OK;
}

template <class... Extra>
class ElementBase : public ScriptObject<IHTMLElement, Extra...> {
    using Base = ScriptObject<IHTMLElement, Extra...>;

public:
    ElementBase(Link link, std::string self) : Base(std::move(link), std::move(self)) {}

    HRESULT getAttribute(const std::u16string& name, std::int32_t, Variant* value) override
    {
        return this->link_.Result(this->self_ + ".getAttribute(" + Q8(name) + ")", value, VariantFromJson);
    }
    HRESULT setAttribute(const std::u16string& name, const Variant& value, std::int32_t) override
    {
        return this->link_.Run(this->self_ + ".setAttribute(" + Q8(name) + "," + json::Quote(value.ToUtf8()) + ")",
                               nullptr);
    }
    HRESULT get_tagName(std::u16string* name) override
    {
        return this->link_.Text(this->self_ + ".tagName.toUpperCase()", name);
    }
    HRESULT get_innerHTML(std::u16string* html) override { return this->link_.Text(this->self_ + ".innerHTML", html); }
    HRESULT put_innerHTML(const std::u16string& html) override
    {
        return this->link_.Run("void(" + this->self_ + ".innerHTML=" + Q8(html) + ")", nullptr);
    }
    HRESULT get_outerHTML(std::u16string* html) override { return this->link_.Text(this->self_ + ".outerHTML", html); }
    HRESULT put_outerHTML(const std::u16string& html) override
    {
        return this->link_.Run("void(" + this->self_ + ".outerHTML=" + Q8(html) + ")", nullptr);
    }
};

class Element final : public ElementBase<> {
public:
    using ElementBase::ElementBase;
};

class BodyElement final : public ElementBase<IHTMLBodyElement> {
public:
    using ElementBase::ElementBase;

    HRESULT get_background(std::u16string* url) override
    {
        return link_.Text(self_ + ".getAttribute('background')||''", url);
    }
    HRESULT put_background(const std::u16string& url) override
    {
        return link_.Run(self_ + ".setAttribute('background'," + Q8(url) + ")", nullptr);
    }
    HRESULT createTextRange(IHTMLTxtRange** range) override { return MakeRange(link_, "Q.bodyRange()", range); }
};

class ElementCollection final : public ScriptObject<IHTMLElementCollection> {
public:
    ElementCollection(Link link, std::vector<std::string> elements)
        : ScriptObject(std::move(link), "null"), elements_(std::move(elements))
    {
    }

    HRESULT get_length(std::int32_t* length) override
    {
        if (!length)
            return E_POINTER;
        *length = static_cast<std::int32_t>(elements_.size());
        return S_OK;
    }
    HRESULT item(const Variant& index, IDispatch** element) override
    {
        if (!element)
            return E_POINTER;
        *element = nullptr;
        const std::int32_t* i = index.AsInt();
        if (!i)
            return E_INVALIDARG;
        if (*i < 0 || static_cast<std::size_t>(*i) >= elements_.size())
            return S_OK;
        auto* e = New<Element>(link_, elements_[*i]);
        e->owned = owned;  // its handle is one of the collection's
        *element = static_cast<IHTMLElement*>(e);
        return S_OK;
    }

private:
    std::vector<std::string> elements_;
};

class Selection final : public ScriptObject<IHTMLSelectionObject> {
public:
    explicit Selection(Link link) : ScriptObject(std::move(link), "getSelection()") {}

    HRESULT get_type(std::u16string* type) override { return link_.Text("Q.selType()", type); }
    HRESULT createRange(IDispatch** range) override
    {
        if (!range)
            return E_POINTER;
        IHTMLTxtRange* r = nullptr;
        HRESULT hr = MakeRange(link_, "Q.selRange()", &r);
        *range = r;
        return hr;
    }
};

struct MshtmlCommand {
    std::uint32_t id;
    const char* name;
};
constexpr MshtmlCommand kMshtmlCommands[] = {
    {IDM_JUSTIFYCENTER, "justifyCenter"},
    {IDM_JUSTIFYRIGHT, "justifyRight"},
    {IDM_ORDERLIST, "insertOrderedList"},
    {IDM_UNORDERLIST, "insertUnorderedList"},
};

const char* MshtmlCommandName(std::uint32_t id)
{
    for (const auto& c : kMshtmlCommands)
        if (c.id == id)
            return c.name;
    return nullptr;
}

bool EditingCommandOfId(std::uint32_t id, EditingCommand& command)
{
    switch (id) {
    case OLECMDID_CUT:
        command = EditingCommand::Cut;
        return true;
    case OLECMDID_COPY:
        command = EditingCommand::Copy;
        return true;
    case OLECMDID_PASTE:
        command = EditingCommand::Paste;
        return true;
    case OLECMDID_SELECTALL:
        command = EditingCommand::SelectAll;
        return true;
    default:
        return false;
    }
}

class Document final : public ScriptObject<IHTMLDocument2, IOleCommandTarget> {
public:
    explicit Document(Link link) : ScriptObject(std::move(link), "document") {}

    HRESULT get_body(IHTMLElement** body) override
    {
        if (!body)
            return E_POINTER;
        *body = nullptr;
        json::Value handle;
        HRESULT hr = link_.Run("Q.put(document.body)", &handle);
        if (FAILED(hr))
            return hr;
        if (!handle.IsNull()) {
            auto* b = New<BodyElement>(link_, HandleExpr(handle));
            b->owned = std::make_shared<Handles>(link_, std::vector<std::string>{json::Encode(handle)});
            *body = b;
        }
        return S_OK;
    }
    HRESULT get_images(IHTMLElementCollection** images) override { return Collection("document.images", images); }
    HRESULT get_links(IHTMLElementCollection** links) override { return Collection("document.links", links); }
    HRESULT get_selection(IHTMLSelectionObject** selection) override
    {
        if (!selection)
            return E_POINTER;
        *selection = link_.Engine() ? New<Selection>(link_) : nullptr;
        return *selection ? S_OK : E_FAIL;
    }
    HRESULT get_title(std::u16string* title) override { return link_.Text("document.title", title); }
    HRESULT get_URL(std::u16string* url) override
    {
        // A page file the editing view serves through its own scheme is still that file.
        HRESULT hr = link_.Text("document.URL", url);
        if (SUCCEEDED(hr))
            *url = WideFromUtf8(PageSchemeUrlToFileUrl(Utf8FromWide(*url)));
        return hr;
    }
    HRESULT get_bgColor(Variant* colour) override
    {
        return link_.Result(
            "(document.bgColor&&document.body)?getComputedStyle(document.body).backgroundColor:''", colour,
            [](const json::Value& v) { return Variant::Text(v.AsString() ? CssColorToHtmlColor(*v.AsString()) : ""); });
    }
    HRESULT put_bgColor(const Variant& colour) override
    {
        return link_.Run("void(document.bgColor=" + json::Quote(colour.ToUtf8()) + ")", nullptr);
    }
    HRESULT execCommand(const std::u16string& command, bool, const Variant& value, bool* done) override
    {
        EditingCommand editing;
        if (EditingCommandOfName(command, editing)) {
            auto e = link_.Engine();
            if (!e)
                return E_FAIL;
            bool ok = e->ExecuteEditingCommand(editing);
            if (done)
                *done = ok;
            return S_OK;
        }
        std::string arg;
        if (!VariantToJson(value, arg))
            return DISP_E_TYPEMISMATCH;
        bool ok = false;
        HRESULT hr = link_.Flag("document.execCommand(" + Q8(command) + ",false," + arg + ")", &ok);
        if (done)
            *done = ok;
        return hr;
    }
    HRESULT queryCommandSupported(const std::u16string& command, bool* result) override
    {
        return Query(command, "Supported", result);
    }
    HRESULT queryCommandEnabled(const std::u16string& command, bool* result) override
    {
        return Query(command, "Enabled", result);
    }
    HRESULT queryCommandState(const std::u16string& command, bool* result) override
    {
        return Query(command, "State", result);
    }
    HRESULT queryCommandIndeterm(const std::u16string& command, bool* result) override
    {
        return Query(command, "Indeterm", result);
    }
    HRESULT queryCommandValue(const std::u16string& command, Variant* value) override
    {
        if (!value)
            return E_POINTER;
        EditingCommand editing;
        if (EditingCommandOfName(command, editing)) {
            *value = Variant(std::u16string());
            return S_OK;
        }
        return link_.Result("document.queryCommandValue(" + Q8(command) + ")", value, VariantFromJson);
    }

    // IOleCommandTarget
    HRESULT QueryStatus(const GUID* group, std::uint32_t count, OLECMD* commands) override
    {
        if (!commands && count)
            return E_POINTER;
        auto e = link_.Engine();
        if (!e)
            return E_FAIL;
        for (std::uint32_t i = 0; i < count; ++i) {
            OLECMD& c = commands[i];
            c.cmdf = 0;
            if (!group) {
                EditingCommand editing;
                if (c.cmdID == OLECMDID_PRINT)
                    c.cmdf = OLECMDF_SUPPORTED | OLECMDF_ENABLED;
                else if (EditingCommandOfId(c.cmdID, editing))
                    c.cmdf = OLECMDF_SUPPORTED | (e->CanExecuteEditingCommand(editing) ? OLECMDF_ENABLED : 0);
            } else if (*group == CGID_WebBrowser) {
                if (c.cmdID == WEBBROWSER_CMD_FIND)
                    c.cmdf = OLECMDF_SUPPORTED | OLECMDF_ENABLED;
            } else if (*group == CGID_MSHTML) {
                const char* name = MshtmlCommandName(c.cmdID);
                if (!name)
                    continue;
                json::Value v;
                std::string n = json::Quote(name);
                HRESULT hr = link_.Run("[document.queryCommandSupported(" + n + "),document.queryCommandEnabled(" + n +
                                           "),document.queryCommandState(" + n + ")]",
                                       &v);
                if (FAILED(hr))
                    return hr;
                const json::Array* a = v.AsArray();
                auto flag = [&](std::size_t k) { return a && a->size() > k && (*a)[k].AsBool() && *(*a)[k].AsBool(); };
                if (flag(0))
                    c.cmdf = OLECMDF_SUPPORTED | (flag(1) ? OLECMDF_ENABLED : 0) | (flag(2) ? OLECMDF_LATCHED : 0);
            } else if (*group == CGID_TableEditing) {
                // No table editing in this engine: every command reads as unsupported.
            } else {
                return OLECMDERR_E_UNKNOWNGROUP;
            }
        }
        return S_OK;
    }
    HRESULT Exec(const GUID* group, std::uint32_t cmdId, std::uint32_t execOpt, Variant* in, Variant*) override
    {
        auto e = link_.Engine();
        if (!e)
            return E_FAIL;
        if (!group) {
            EditingCommand editing;
            if (cmdId == OLECMDID_PRINT)
                return e->Print(execOpt != OLECMDEXECOPT_DONTPROMPTUSER) ? S_OK : E_FAIL;
            if (EditingCommandOfId(cmdId, editing))
                return e->ExecuteEditingCommand(editing) ? S_OK : OLECMDERR_E_DISABLED;
            return OLECMDERR_E_NOTSUPPORTED;
        }
        if (*group == CGID_WebBrowser) {
            if (cmdId == WEBBROWSER_CMD_FIND)
                return e->ShowFindDialog() ? S_OK : E_FAIL;
            return OLECMDERR_E_NOTSUPPORTED;
        }
        if (*group == CGID_MSHTML) {
            const char* name = MshtmlCommandName(cmdId);
            if (!name)
                return OLECMDERR_E_NOTSUPPORTED;
            std::string arg = "null";
            if (in && !VariantToJson(*in, arg))
                return DISP_E_TYPEMISMATCH;
            bool ok = false;
            HRESULT hr = link_.Flag("document.execCommand(" + json::Quote(name) + ",false," + arg + ")", &ok);
            return FAILED(hr) ? hr : ok ? S_OK : OLECMDERR_E_DISABLED;
        }
        if (*group == CGID_TableEditing)
            return OLECMDERR_E_NOTSUPPORTED;
        return OLECMDERR_E_UNKNOWNGROUP;
    }

private:
    HRESULT Collection(const char* expr, IHTMLElementCollection** out)
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        json::Value handles;
        HRESULT hr = link_.Run(std::string("Array.from(") + expr + ").map(Q.put)", &handles);
        if (FAILED(hr))
            return hr;
        std::vector<std::string> exprs, owned;
        if (const json::Array* a = handles.AsArray())
            for (const auto& h : *a) {
                exprs.push_back(HandleExpr(h));
                owned.push_back(json::Encode(h));
            }
        auto* c = New<ElementCollection>(link_, std::move(exprs));
        c->owned = std::make_shared<Handles>(link_, std::move(owned));
        *out = c;
        return S_OK;
    }
    HRESULT Query(const std::u16string& command, const char* what, bool* result)
    {
        if (!result)
            return E_POINTER;
        EditingCommand editing;
        if (EditingCommandOfName(command, editing)) {
            std::string w = what;
            if (w == "Supported") {
                *result = true;
            } else if (w == "Enabled") {
                auto e = link_.Engine();
                if (!e)
                    return E_FAIL;
                *result = e->CanExecuteEditingCommand(editing);
            } else {
                *result = false;
            }
            return S_OK;
        }
        return link_.Flag(std::string("document.queryCommand") + what + "(" + Q8(command) + ")", result);
    }
};

}  // namespace

bool EditingCommandOfName(const std::u16string& name, EditingCommand& command)
{
    std::string n = Utf8FromWide(name);
    for (char& c : n)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    if (n == "cut")
        command = EditingCommand::Cut;
    else if (n == "copy")
        command = EditingCommand::Copy;
    else if (n == "paste")
        command = EditingCommand::Paste;
    else if (n == "selectall")
        command = EditingCommand::SelectAll;
    else if (n == "undo")
        command = EditingCommand::Undo;
    else if (n == "redo")
        command = EditingCommand::Redo;
    else
        return false;
    return true;
}

bool VariantToJson(const Variant& value, std::string& out)
{
    if (value.IsEmpty() || value.IsNull()) {
        out = "null";
    } else if (const auto* t = value.AsText()) {
        out = json::Quote(Utf8FromWide(*t));
    } else if (const auto* b = value.AsBool()) {
        out = *b ? "true" : "false";
    } else if (const auto* i = value.AsInt()) {
        out = std::to_string(*i);
    } else if (const auto* u = value.AsUInt()) {
        out = std::to_string(*u);
    } else if (const auto* d = value.AsDouble()) {
        out = json::Encode(json::Value(*d));
    } else {
        return false;
    }
    return true;
}

Variant VariantFromJson(const json::Value& v)
{
    if (const std::string* s = v.AsString())
        return Variant::Text(*s);
    if (const bool* b = v.AsBool())
        return Variant(*b);
    if (const double* d = v.AsNumber()) {
        if (std::trunc(*d) == *d && *d >= std::numeric_limits<std::int32_t>::min() &&
            *d <= std::numeric_limits<std::int32_t>::max())
            return Variant(static_cast<std::int32_t>(*d));
        return Variant(*d);
    }
    if (v.IsNull())
        return Variant::Null();
    return Variant();
}

ComPtr<IHTMLDocument2> MakeScriptDocument(const std::shared_ptr<DocumentEngine>& engine)
{
    if (!engine || !engine->HasDocument())
        return nullptr;
    return ComPtr<IHTMLDocument2>::Adopt(New<Document>(Link(engine, engine->DocumentGeneration())));
}

}  // namespace ql::web
