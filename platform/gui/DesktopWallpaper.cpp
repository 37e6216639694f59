#include "platform/gui/DesktopWallpaper.h"

#include "platform/core/UrlText.h"

#include <gio/gio.h>

#include <sstream>

namespace ql {

namespace {

constexpr const char* kGnomeSchema = "org.gnome.desktop.background";
constexpr const char* kCinnamonSchema = "org.cinnamon.desktop.background";
constexpr const char* kMateSchema = "org.mate.background";
constexpr const char* kXfceChannel = "xfce4-desktop";
constexpr int kXfceStyleNone = 0;
constexpr int kXfceStyleZoomed = 5;

bool HasDesktop(const std::string& list, const std::string& name)
{
    std::stringstream in(list);
    std::string item;
    while (std::getline(in, item, ':'))
        if (g_ascii_strcasecmp(item.c_str(), name.c_str()) == 0)
            return true;
    return false;
}

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

class GioSchemaSettings : public SchemaSettings {
public:
    bool HasKey(const std::string& schema, const std::string& key) override
    {
        // GSettings aborts the process on an unknown schema or key: look both up first.
        GSettingsSchemaSource* source = g_settings_schema_source_get_default();
        if (!source)
            return false;
        GSettingsSchema* found = g_settings_schema_source_lookup(source, schema.c_str(), TRUE);
        if (!found)
            return false;
        const bool has = g_settings_schema_has_key(found, key.c_str());
        g_settings_schema_unref(found);
        return has;
    }
    bool SetString(const std::string& schema, const std::string& key, const std::string& value) override
    {
        if (!HasKey(schema, key))
            return false;
        GSettings* settings = g_settings_new(schema.c_str());
        const bool ok = g_settings_set_string(settings, key.c_str(), value.c_str());
        g_settings_sync();
        g_object_unref(settings);
        return ok;
    }
};

class XfconfQuery : public XfceConfig {
public:
    std::optional<std::vector<std::string>> ListProperties(const std::string& channel) override
    {
        std::string out;
        if (!Run({"xfconf-query", "-c", channel, "-l"}, &out))
            return std::nullopt;
        std::vector<std::string> properties;
        std::stringstream in(out);
        std::string line;
        while (std::getline(in, line))
            if (!line.empty())
                properties.push_back(line);
        return properties;
    }
    bool SetString(const std::string& channel, const std::string& property, const std::string& value) override
    {
        return Run({"xfconf-query", "-c", channel, "-p", property, "-s", value}, nullptr);
    }
    bool SetInt(const std::string& channel, const std::string& property, int value) override
    {
        return Run({"xfconf-query", "-c", channel, "-p", property, "-s", std::to_string(value)}, nullptr);
    }

private:
    // Runs the tool from an argument list (no shell) and waits for it.
    static bool Run(const std::vector<std::string>& args, std::string* out)
    {
        std::vector<gchar*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<gchar*>(a.c_str()));
        argv.push_back(nullptr);
        gchar* stdoutText = nullptr;
        gint status = 0;
        const gboolean started = g_spawn_sync(
            nullptr, argv.data(), nullptr, static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_STDERR_TO_DEV_NULL),
            nullptr, nullptr, out ? &stdoutText : nullptr, nullptr, &status, nullptr);
        if (stdoutText) {
            *out = stdoutText;
            g_free(stdoutText);
        }
        return started && g_spawn_check_wait_status(status, nullptr);
    }
};

}  // namespace

DesktopWallpaper::DesktopWallpaper(const std::string& currentDesktop, SchemaSettings& settings, XfceConfig& xfce)
    : settings_(settings), xfce_(xfce)
{
    if (HasDesktop(currentDesktop, "X-Cinnamon") || HasDesktop(currentDesktop, "Cinnamon"))
        kind_ = Kind::Cinnamon;
    else if (HasDesktop(currentDesktop, "MATE"))
        kind_ = Kind::Mate;
    else if (HasDesktop(currentDesktop, "XFCE"))
        kind_ = Kind::Xfce;
    else if (HasDesktop(currentDesktop, "GNOME") || HasDesktop(currentDesktop, "Unity") ||
             HasDesktop(currentDesktop, "Budgie"))
        kind_ = Kind::Gnome;
}

bool DesktopWallpaper::CanSet() const { return kind_ != Kind::None; }

bool DesktopWallpaper::Set(const std::string& pictureFile) { return SetPicture(pictureFile, false); }

bool DesktopWallpaper::Clear() { return SetPicture({}, true); }

bool DesktopWallpaper::SetPicture(const std::string& pictureFile, bool clear)
{
    const std::string uri = clear ? std::string() : FilePathToUrl(pictureFile);
    switch (kind_) {
    case Kind::None:
        return false;
    case Kind::Gnome: {
        if (!settings_.SetString(kGnomeSchema, "picture-uri", uri))
            return false;
        // Newer versions show another key in dark mode; it follows when it exists.
        if (settings_.HasKey(kGnomeSchema, "picture-uri-dark"))
            settings_.SetString(kGnomeSchema, "picture-uri-dark", uri);
        return true;
    }
    case Kind::Cinnamon:
        return settings_.SetString(kCinnamonSchema, "picture-uri", uri);
    case Kind::Mate:
        return settings_.SetString(kMateSchema, "picture-filename", clear ? std::string() : pictureFile);
    case Kind::Xfce: {
        auto properties = xfce_.ListProperties(kXfceChannel);
        if (!properties)
            return false;
        bool any = false;
        for (const std::string& property : *properties) {
            // One backdrop per monitor and workspace: .../last-image and .../image-style.
            if (EndsWith(property, "/last-image") && !clear)
                any = xfce_.SetString(kXfceChannel, property, pictureFile) || any;
            else if (EndsWith(property, "/image-style"))
                any = xfce_.SetInt(kXfceChannel, property, clear ? kXfceStyleNone : kXfceStyleZoomed) || any;
        }
        return any;
    }
    }
    return false;
}

std::unique_ptr<SchemaSettings> MakeGioSchemaSettings() { return std::make_unique<GioSchemaSettings>(); }
std::unique_ptr<XfceConfig> MakeXfconfQuery() { return std::make_unique<XfconfQuery>(); }

}  // namespace ql
