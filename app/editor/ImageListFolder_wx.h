#pragma once
// The images panel's list as the editor sees it: a shell list that shows the folder it is given
// and follows that folder's changes on disk by itself.
#include "app/editor/EditorLayout.h"
#include "components/shell/ShellList_wx.h"

namespace ql {

class ImageListFolder : public ImageFolderView {
public:
    explicit ImageListFolder(shellctl::TSvShellList& list) : list_(list) {}
    // The same folder again leaves the list as it is (the locator only reports a change).
    void SetFolder(const std::string& folder) override { list_.Folder().SetPath(folder); }

private:
    shellctl::TSvShellList& list_;
};

}  // namespace ql
