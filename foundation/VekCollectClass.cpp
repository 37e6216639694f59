#include "foundation/VekCollectClass.h"

#include "platform/core/ErrorLog.h"
#include "platform/core/HexDigits.h"

#include <climits>
#include <unistd.h>

namespace ql {

TSettings Settings;
std::string AppDirPath;
bool ChineseSystem = false;
std::unique_ptr<IniFile> ImagesIni;
std::string ClipSourceUrl;

namespace {

const char* const kSection = "set";
const char* const kProgramKey = "\\Software\\Tessaly\\Pouchly";

std::string runningProgramPath()
{
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

std::string settingsFile() { return AppDirPath + "gleanhoard.ini"; }

}  // namespace

void LoadSettings() { LoadSettings(runningProgramPath()); }

void LoadSettings(const std::string& programPath)
{
    // Lets the capture extension start the program that ran last; a failure changes nothing else.
    if (!WriteRegString(RegRoot::CurrentUser, kProgramKey, "exe", programPath))
        LogError("registry", "the program's path could not be recorded: the capture extension cannot start it");

    AppDirPath = programPath.substr(0, programPath.rfind('/') + 1);
    ChineseSystem = IsChineseSystem();
    Settings = TSettings{};
    Settings.CollectionDir = AppDirPath + "Collection/";
    Settings.ImagesDir = Settings.CollectionDir + "!images/";
    ImagesIni = std::make_unique<IniFile>(Settings.CollectionDir + "images.ini", true);

    IniFile ini(settingsFile(), false);
    TSettings& s = Settings;
    s.AutoUnicode = ini.ReadBool(kSection, "AutoUnicode", ChineseSystem);
    s.AutoCleanUp = ini.ReadBool(kSection, "AutoCleanUp", true);
    s.LastNode = ini.ReadInteger(kSection, "LastNode", 0);
    s.DragZoneTop = ini.ReadInteger(kSection, "DragZoneTop", 0);
    s.DragZoneLeft = ini.ReadInteger(kSection, "DragZoneLeft", 0);
    s.ActiveTabIndex = ini.ReadInteger(kSection, "ActiveTabIndex", 0);
    s.EditWith = ini.ReadInteger(kSection, "EditWith", 100);
    s.ShowMainForm = ini.ReadBool(kSection, "ShowMainForm", true);
    s.ShowImageList = ini.ReadBool(kSection, "ShowImageList", true);
    s.AutoChangeTxtToHtml = ini.ReadBool(kSection, "AutoChangeTxtToHtml", true);
    s.DragUseHtml = ini.ReadBool(kSection, "DragUseHtml", true);
    s.DragCreateNew = true;  // stored, but every start begins with new nodes
    s.DragUseUnicode = ini.ReadBool(kSection, "DragUseUnicode", true);
    s.DragHideAfterSave = ini.ReadBool(kSection, "DragHideAfterSave", false);
    s.DragIncludeImage = ini.ReadBool(kSection, "DragIncludeImage", true);
    s.MonitorFileChange = ini.ReadBool(kSection, "MonitorFileChange", true);
    s.ShowToolbar = ini.ReadBool(kSection, "ShowToolbar", true);
    s.ShowTree = ini.ReadBool(kSection, "ShowTree", true);
    s.templateFile = ini.ReadString(kSection, "template", "alpha");
    s.DefaultCharset = ini.ReadString(kSection, "DefaultCharset", "Unicode");
    s.UseDiv = ini.ReadBool(kSection, "UseDiv", false);
    s.imagechecked = ini.ReadBool(kSection, "imagechecked", false);
    s.showDragForm = ini.ReadBool(kSection, "showDragForm", true);
}

bool SaveSettings()
{
    ImagesIni.reset();
    bool saved = false;
    if (!AppDirPath.empty()) {
        IniFile ini(settingsFile(), false);
        const TSettings& s = Settings;
        bool held = true;  // false once a value is one the file could not give back
        held &= ini.WriteBool(kSection, "AutoUnicode", s.AutoUnicode);
        held &= ini.WriteBool(kSection, "AutoCleanUp", s.AutoCleanUp);
        held &= ini.WriteInteger(kSection, "LastNode", s.LastNode);
        held &= ini.WriteInteger(kSection, "DragZoneTop", s.DragZoneTop);
        held &= ini.WriteInteger(kSection, "DragZoneLeft", s.DragZoneLeft);
        held &= ini.WriteInteger(kSection, "ActiveTabIndex", s.ActiveTabIndex);
        held &= ini.WriteInteger(kSection, "EditWith", s.EditWith);
        held &= ini.WriteBool(kSection, "ShowMainForm", s.ShowMainForm);
        held &= ini.WriteBool(kSection, "ShowImageList", s.ShowImageList);
        held &= ini.WriteBool(kSection, "AutoChangeTxtToHtml", s.AutoChangeTxtToHtml);
        held &= ini.WriteBool(kSection, "DragUseHtml", s.DragUseHtml);
        held &= ini.WriteBool(kSection, "DragCreateNew", s.DragCreateNew);
        held &= ini.WriteBool(kSection, "DragUseUnicode", s.DragUseUnicode);
        held &= ini.WriteBool(kSection, "DragHideAfterSave", s.DragHideAfterSave);
        held &= ini.WriteBool(kSection, "DragIncludeImage", s.DragIncludeImage);
        held &= ini.WriteBool(kSection, "MonitorFileChange", s.MonitorFileChange);
        held &= ini.WriteBool(kSection, "ShowToolbar", s.ShowToolbar);
        held &= ini.WriteBool(kSection, "ShowTree", s.ShowTree);
        // A template path that the file could not hold (a line break) keeps the stored one.
        held &= ini.WriteString(kSection, "template", s.templateFile);
        held &= ini.WriteString(kSection, "DefaultCharset", s.DefaultCharset);
        held &= ini.WriteBool(kSection, "UseDiv", s.UseDiv);
        held &= ini.WriteBool(kSection, "imagechecked", s.imagechecked);
        held &= ini.WriteBool(kSection, "showDragForm", s.showDragForm);
        if (!held)
            LogError("gleanhoard.ini",
                     "a setting the file cannot hold (a line break in the template path) keeps its stored value");
        saved = ini.UpdateFile();
    }
    // The record is finished: a second call must not write its emptied fields.
    Settings = TSettings{};
    AppDirPath.clear();
    ClipSourceUrl.clear();
    return saved;
}

std::uint32_t HtmlColorToColor(const std::string& text)
{
    // Only "#" and exactly six hexadecimal digits make a colour; any other text gives 0.
    if (text.size() != 7 || text[0] != '#')
        return 0;
    std::uint32_t rgb = 0;
    for (size_t i = 1; i < 7; ++i) {
        int d = HexDigitValue(text[i]);
        if (d < 0)
            return 0;
        rgb = (rgb << 4) | static_cast<std::uint32_t>(d);
    }
    // "#rrggbb" to the layout with red in the low byte.
    return ((rgb >> 16) & 0xff) | (rgb & 0xff00) | ((rgb & 0xff) << 16);
}

std::string ColorToHtmlColor(std::uint32_t colour)
{
    static const char hex[] = "0123456789abcdef";
    std::string out = "#";
    for (int shift = 0; shift <= 16; shift += 8) {
        unsigned byte = (colour >> shift) & 0xff;
        out += hex[byte >> 4];
        out += hex[byte & 15];
    }
    return out;
}

}  // namespace ql
