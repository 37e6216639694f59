#include "platform/gui/DesktopWallpaper.h"

#include <gtest/gtest.h>

#include <map>

namespace ql {
namespace {

class FakeSchemas : public SchemaSettings {
public:
    std::map<std::string, std::string> values;  // "schema key" -> value; a key present is known
    bool HasKey(const std::string& schema, const std::string& key) override
    {
        return values.count(schema + " " + key) != 0;
    }
    bool SetString(const std::string& schema, const std::string& key, const std::string& value) override
    {
        if (!HasKey(schema, key))
            return false;
        values[schema + " " + key] = value;
        return true;
    }
};

class FakeXfce : public XfceConfig {
public:
    bool running = true;
    std::map<std::string, std::string> values;
    std::optional<std::vector<std::string>> ListProperties(const std::string& channel) override
    {
        if (!running || channel != "xfce4-desktop")
            return std::nullopt;
        std::vector<std::string> names;
        for (const auto& [name, value] : values)
            names.push_back(name);
        return names;
    }
    bool SetString(const std::string&, const std::string& property, const std::string& value) override
    {
        values[property] = value;
        return true;
    }
    bool SetInt(const std::string& channel, const std::string& property, int value) override
    {
        return SetString(channel, property, std::to_string(value));
    }
};

TEST(DesktopWallpaperTest, GnomeSetsBothPictureKeysAsFileUrlsAndClearsThem)
{
    FakeSchemas schemas;
    FakeXfce xfce;
    schemas.values = {{"org.gnome.desktop.background picture-uri", "old"},
                      {"org.gnome.desktop.background picture-uri-dark", "old"}};
    DesktopWallpaper wallpaper("ubuntu:GNOME", schemas, xfce);
    ASSERT_TRUE(wallpaper.Set("/home/u/a b.png"));
    EXPECT_EQ(schemas.values["org.gnome.desktop.background picture-uri"], "file:///home/u/a%20b.png");
    EXPECT_EQ(schemas.values["org.gnome.desktop.background picture-uri-dark"], "file:///home/u/a%20b.png");
    ASSERT_TRUE(wallpaper.Clear());
    EXPECT_EQ(schemas.values["org.gnome.desktop.background picture-uri"], "");
}

TEST(DesktopWallpaperTest, CinnamonAndMateUseTheirOwnSchemas)
{
    FakeSchemas schemas;
    FakeXfce xfce;
    schemas.values = {{"org.cinnamon.desktop.background picture-uri", ""},
                      {"org.mate.background picture-filename", ""}};
    ASSERT_TRUE(DesktopWallpaper("X-Cinnamon", schemas, xfce).Set("/p.png"));
    EXPECT_EQ(schemas.values["org.cinnamon.desktop.background picture-uri"], "file:///p.png");
    ASSERT_TRUE(DesktopWallpaper("MATE", schemas, xfce).Set("/p.png"));
    EXPECT_EQ(schemas.values["org.mate.background picture-filename"], "/p.png");
    // A desktop whose schema is not installed fails instead of pretending.
    schemas.values.clear();
    EXPECT_FALSE(DesktopWallpaper("MATE", schemas, xfce).Set("/p.png"));
}

TEST(DesktopWallpaperTest, XfceSetsEveryBackdropAndClearsTheirStyle)
{
    FakeSchemas schemas;
    FakeXfce xfce;
    xfce.values = {{"/backdrop/screen0/monitor0/workspace0/last-image", "old"},
                   {"/backdrop/screen0/monitor0/workspace0/image-style", "0"},
                   {"/backdrop/screen0/monitorHDMI/workspace1/last-image", "old"},
                   {"/backdrop/single-workspace-mode", "true"}};
    DesktopWallpaper wallpaper("XFCE", schemas, xfce);
    ASSERT_TRUE(wallpaper.Set("/p.png"));
    EXPECT_EQ(xfce.values["/backdrop/screen0/monitor0/workspace0/last-image"], "/p.png");
    EXPECT_EQ(xfce.values["/backdrop/screen0/monitorHDMI/workspace1/last-image"], "/p.png");
    EXPECT_EQ(xfce.values["/backdrop/screen0/monitor0/workspace0/image-style"], "5");
    EXPECT_EQ(xfce.values["/backdrop/single-workspace-mode"], "true");
    ASSERT_TRUE(wallpaper.Clear());
    EXPECT_EQ(xfce.values["/backdrop/screen0/monitor0/workspace0/image-style"], "0");
    xfce.running = false;
    EXPECT_FALSE(wallpaper.Set("/p.png"));
}

TEST(DesktopWallpaperTest, OtherDesktopsCannotSetAWallpaper)
{
    FakeSchemas schemas;
    FakeXfce xfce;
    schemas.values = {{"org.gnome.desktop.background picture-uri", ""}};
    DesktopWallpaper wallpaper("KDE", schemas, xfce);
    EXPECT_FALSE(wallpaper.CanSet());
    EXPECT_FALSE(wallpaper.Set("/p.png"));
    EXPECT_FALSE(DesktopWallpaper("", schemas, xfce).Clear());
}

}  // namespace
}  // namespace ql
