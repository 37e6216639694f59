#pragma once
// "Active Desktop": the open page, rendered to a picture by our web engine, becomes the desktop
// wallpaper; "Clear Desktop" gives the desktop its plain background again.
#include <functional>
#include <string>

namespace ql {

class DesktopWallpaper;
class Dialogs;
class PageSession;

inline constexpr char kSetActiveDesktopFailed[] = "Set Active Desktop failed.";

// Renders a page file into a PNG picture the size of the screen; `done` runs once on the GUI
// thread with the outcome.
class PageRenderer {
public:
    virtual ~PageRenderer() = default;
    virtual void RenderToPicture(const std::string& pageFile, const std::string& pngFile,
                                 std::function<void(bool ok)> done) = 0;
};

class ActiveDesktop {
public:
    // The pictures are kept in `pictureDir` (the per-user configuration folder, trailing '/';
    // "" when there is none).
    ActiveDesktop(PageSession& session, Dialogs& dialogs, DesktopWallpaper& wallpaper, PageRenderer& renderer,
                  std::string pictureDir);

    void ToolButton51Click();   // "Set Current Html as Desktop" and the DocBar button
    void ClearDesktop1Click();  // the page is not saved first

    // The two picture names used in turn: a desktop reloads its wallpaper only when the
    // setting's value changes.
    static constexpr const char* kPictureNames[2] = {"active-desktop-1.png", "active-desktop-2.png"};

private:
    void Failed();

    PageSession& session_;
    Dialogs& dialogs_;
    DesktopWallpaper& wallpaper_;
    PageRenderer& renderer_;
    std::string pictureDir_;
};

}  // namespace ql
