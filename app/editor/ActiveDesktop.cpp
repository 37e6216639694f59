#include "app/editor/ActiveDesktop.h"

#include "app/editor/session/PageSession.h"
#include "platform/core/SafeFile.h"
#include "platform/gui/DesktopWallpaper.h"

#include <filesystem>
#include <system_error>

namespace ql {

ActiveDesktop::ActiveDesktop(PageSession& session, Dialogs& dialogs, DesktopWallpaper& wallpaper,
                             PageRenderer& renderer, std::string pictureDir)
    : session_(session),
      dialogs_(dialogs),
      wallpaper_(wallpaper),
      renderer_(renderer),
      pictureDir_(std::move(pictureDir))
{
}

void ActiveDesktop::Failed() { dialogs_.ShowMessage(kSetActiveDesktopFailed); }

void ActiveDesktop::ToolButton51Click()
{
    if (!session_.SaveCurrentPage(""))
        return;
    const std::string page = session_.AppSettings().CurrentPageFile;
    if (!wallpaper_.CanSet() || pictureDir_.empty() || page.empty() || !FileExists(page)) {
        Failed();
        return;
    }
    // The name not in use now, so the desktop sees a new value.
    const int next = FileExists(pictureDir_ + kPictureNames[0]) ? 1 : 0;
    const std::string picture = pictureDir_ + kPictureNames[next];
    const std::string old = pictureDir_ + kPictureNames[1 - next];
    renderer_.RenderToPicture(page, picture, [this, picture, old](bool ok) {
        if (!ok || !wallpaper_.Set(picture)) {
            Failed();
            return;
        }
        std::error_code ec;
        std::filesystem::remove(old, ec);
    });
}

void ActiveDesktop::ClearDesktop1Click()
{
    if (!wallpaper_.Clear()) {
        Failed();
        return;
    }
    if (pictureDir_.empty())
        return;
    for (const char* name : kPictureNames) {
        std::error_code ec;
        std::filesystem::remove(pictureDir_ + name, ec);
    }
}

}  // namespace ql
