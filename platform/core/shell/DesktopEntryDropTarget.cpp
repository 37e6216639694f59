// The drop target of an application's desktop file: dropped files are opened with that
// application, as a Send To entry does with what is sent to it.
#include "platform/core/ClipboardFormats.h"
#include "platform/core/DesktopEntry.h"
#include "platform/core/shell/ShellObjects.h"
#include "platform/core/shell/ShellServices.h"

namespace ql::shell {

using namespace com;

namespace {

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class DesktopEntryDropTarget : public ComObject<IDropTarget> {
public:
    explicit DesktopEntryDropTarget(std::string file) : file_(std::move(file)) {}

    HRESULT DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override
    {
        offered_ = data && (Offers(data, CF_HDROP) || Offers(data, ShellIdListFormat()));
        return Choose(effect);
    }
    HRESULT DragOver(DWORD, POINTL, DWORD* effect) override { return Choose(effect); }
    HRESULT DragLeave() override
    {
        offered_ = false;
        return S_OK;
    }
    HRESULT Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override
    {
        if (!effect)
            return E_INVALIDARG;
        offered_ = false;
        const std::vector<std::string> paths = data ? PathsOfDataObject(data) : std::vector<std::string>{};
        Launcher* launcher = GetShellServices().launcher;
        const auto entry = ReadDesktopEntry(file_);
        const auto commands = entry ? ExecCommands(entry->exec, paths, entry->name) : std::nullopt;
        if (paths.empty() || !(*effect & DROPEFFECT_COPY) || !launcher || !commands) {
            *effect = DROPEFFECT_NONE;
            return paths.empty() ? S_OK : E_FAIL;
        }
        *effect = DROPEFFECT_COPY;
        HRESULT hr = S_OK;
        for (const auto& argv : *commands)
            if (!launcher->Spawn(argv))
                hr = E_FAIL;
        return hr;
    }

private:
    static bool Offers(IDataObject* data, std::uint32_t cf)
    {
        FORMATETC format = HGlobalFormat(static_cast<CLIPFORMAT>(cf));
        return data->QueryGetData(&format) == S_OK;
    }
    // The files are handed over, never moved: only a copy is offered.
    HRESULT Choose(DWORD* effect) const
    {
        if (!effect)
            return E_INVALIDARG;
        *effect = offered_ && (*effect & DROPEFFECT_COPY) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
        return S_OK;
    }

    std::string file_;
    bool offered_ = false;
};

}  // namespace

bool IsDesktopEntryFile(const std::string& path) { return EndsWith(path, ".desktop") && ReadDesktopEntry(path); }

ComPtr<IDropTarget> MakeDesktopEntryDropTarget(std::string desktopFile)
{
    auto target = MakeCom<DesktopEntryDropTarget>(std::move(desktopFile));
    return ComPtr<IDropTarget>(target.get());
}

}  // namespace ql::shell
