#include "components/shell/ControlLiveness_wx.h"

#include <wx/app.h>

namespace ql::shellctl {

TChangeHandlerThread::Poster GuiThreadPoster(const TControlLiveness& liveness, std::function<void()> step)
{
    return [guarded = liveness.WhileAlive(std::move(step))](std::uint32_t, int) {
        if (wxTheApp)
            wxTheApp->CallAfter(guarded);
    };
}

}  // namespace ql::shellctl
