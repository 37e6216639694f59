#include "platform/gui/ShellDesktop_wx.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/msgdlg.h>

#include "platform/core/DragFormats.h"

namespace ql::shell {

namespace {

const wxDataFormat& CopiedFilesFormat()
{
    static const wxDataFormat format("x-special/gnome-copied-files");
    return format;
}
const wxDataFormat& UriListFormat()
{
    static const wxDataFormat format("text/uri-list");
    return format;
}

std::string ReadFormat(const wxDataFormat& format)
{
    wxCustomDataObject data(format);
    if (!wxTheClipboard->IsSupported(format) || !wxTheClipboard->GetData(data))
        return {};
    return std::string(static_cast<const char*>(data.GetData()), data.GetSize());
}

}  // namespace

bool WxShellClipboard::PutFiles(const std::vector<std::string>& paths, bool cut)
{
    wxClipboardLocker locker;
    if (!locker)
        return false;
    auto* both = new wxDataObjectComposite;
    auto* copied = new wxCustomDataObject(CopiedFilesFormat());
    std::string text = BuildCopiedFilesText(paths, cut);
    copied->SetData(text.size(), text.data());
    auto* uris = new wxCustomDataObject(UriListFormat());
    std::string list = BuildUriListText(paths);
    uris->SetData(list.size(), list.data());
    both->Add(copied, true);
    both->Add(uris);
    return wxTheClipboard->SetData(both);
}

bool WxShellClipboard::GetFiles(std::vector<std::string>& paths, bool& cut)
{
    wxClipboardLocker locker;
    if (!locker)
        return false;
    if (ParseCopiedFilesText(ReadFormat(CopiedFilesFormat()), paths, cut))
        return true;
    paths = drag::FilePathsFromUriList(ReadFormat(UriListFormat()));
    cut = false;
    return !paths.empty();
}

void WxShellClipboard::Clear()
{
    wxClipboardLocker locker;
    if (!!locker)
        wxTheClipboard->Clear();
}

bool WxShellConfirm::ConfirmMoveToTrash(const std::vector<std::string>& paths)
{
    wxString text = paths.size() == 1 ? wxString::Format("Move \"%s\" to the trash?", wxString::FromUTF8(paths[0]))
                                      : wxString::Format("Move these %zu items to the trash?", paths.size());
    return wxMessageBox(text, "Delete", wxYES_NO | wxICON_QUESTION) == wxYES;
}

bool WxShellConfirm::ConfirmPermanentDelete(const std::vector<std::string>& paths)
{
    wxString text = paths.size() == 1 ? wxString::Format("\"%s\" cannot be moved to the trash. Delete it permanently?",
                                                         wxString::FromUTF8(paths[0]))
                                      : wxString::Format("%zu items cannot be moved to the trash. Delete them "
                                                         "permanently?",
                                                         paths.size());
    return wxMessageBox(text, "Delete", wxYES_NO | wxNO_DEFAULT | wxICON_WARNING) == wxYES;
}

void InstallDesktopShellServices()
{
    static SystemLauncher launcher;
    static WxShellClipboard clipboard;
    static WxShellConfirm confirm;
    SetShellServices({&launcher, &clipboard, &confirm});
}

}  // namespace ql::shell
