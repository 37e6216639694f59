#pragma once
// The program's process-wide state that is not a window: the settings record (section "set" of
// "gleanhoard.ini"), the program and collection folders, and the open "images.ini".
// Lives from LoadSettings() at start-up to SaveSettings() at exit; GUI thread only.
#include "foundation/VekBaseClass.h"
#include "platform/core/IniFile.h"

#include <cstdint>
#include <memory>
#include <string>

namespace ql {

struct TSettings {
    bool ShowMainForm = false;
    bool ShowImageList = false;
    bool ShowToolbar = false;
    bool ShowTree = false;
    std::string CollectionDir;    // AppDirPath + "Collection/"
    std::string CurrentNodeId;    // page id of the page open in the editor, "" when none
    std::string CurrentPageFile;  // CollectionDir + page id + ".html"
    double CurrentPageTime = 0;   // file date when last loaded or saved; 0 when none
    bool AutoChangeTxtToHtml = false;
    bool DragUseHtml = false;
    bool DragCreateNew = false;
    bool DragUseUnicode = false;
    bool DragHideAfterSave = false;
    bool DragIncludeImage = false;
    bool MonitorFileChange = false;
    std::int32_t EditWith = 0;
    std::int32_t ActiveTabIndex = 0;  // 0 Browse, 1 HTML, 2 Text
    std::int32_t DragZoneTop = 0;
    std::int32_t DragZoneLeft = 0;
    std::string templateFile;  // key "template"
    std::int32_t LastNode = 0;
    bool UseDiv = false;
    std::string DefaultCharset;
    bool AutoUnicode = false;
    bool AutoCleanUp = false;
    bool imagechecked = false;
    bool showDragForm = false;
    std::string ImagesDir;  // CollectionDir + "!images/"
};

extern TSettings Settings;
extern std::string AppDirPath;              // the program's folder, trailing '/'
extern bool ChineseSystem;                  // IsChineseSystem() at start
extern std::unique_ptr<IniFile> ImagesIni;  // CollectionDir + "images.ini", open for the whole run
extern std::string ClipSourceUrl;           // source URL of the clip being saved

// Start-up: records the program path in the registry value "exe", builds the paths from the
// executable's folder, opens ImagesIni (write-through; neither it nor its folder is created)
// and reads "gleanhoard.ini"; missing or unreadable values take their defaults and
// DragCreateNew always starts true.
void LoadSettings();
// The same with an explicit program path (tests, and a program that knows its own path).
void LoadSettings(const std::string& programPath);
// Exit: closes ImagesIni, writes all 23 keys of section "set" back (keys of other sections and
// unknown keys stay) and clears the record and the shared scratch values. False when "gleanhoard.ini" could not be
// written, or when there is nothing loaded to write (a second call). Only the program's first instance calls it: a
// second start that only hands a clip over and ends must not overwrite the running instance's settings with the ones it
// read at its start.
[[nodiscard]] bool SaveSettings();

// "#rrggbb" <-> 0x00BBGGRR (red in the low byte). Digits of either case are read; any text that
// is not "#" and exactly six hexadecimal digits gives 0. The colour text is lower case.
std::uint32_t HtmlColorToColor(const std::string& text);
std::string ColorToHtmlColor(std::uint32_t colour);

}  // namespace ql
