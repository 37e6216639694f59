#include "components/shell/ShellControlsStartup_wx.h"

#include <wx/app.h>

#include "components/shell/DeviceChangeHandler.h"
#include "components/shell/ShellControlsUnit.h"
#include "platform/gui/ShellDesktop_wx.h"

namespace ql::shellctl {

void StartShellControls()
{
    if (!ShellControlsInitialised()) {
        shell::InstallDesktopShellServices();
        InstallDeviceChangePoster([](const std::function<void()>& f) {
            if (wxTheApp)
                wxTheApp->CallAfter(f);
        });
    }
    InitShellControls();
}

void StopShellControls()
{
    FinalizeShellControls();
    if (!ShellControlsInitialised())
        FreeDeviceChangeHandler();
}

}  // namespace ql::shellctl
