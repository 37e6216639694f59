#pragma once
// The desktop's wallpaper where the desktop lets a program set it: GNOME (and desktops built on
// its settings), Cinnamon and MATE through their settings schemas, Xfce through its own
// configuration store. Elsewhere setting fails and the caller says so.
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ql {

// A settings store with string keys in schemas (GSettings in production).
class SchemaSettings {
public:
    virtual ~SchemaSettings() = default;
    virtual bool HasKey(const std::string& schema, const std::string& key) = 0;
    virtual bool SetString(const std::string& schema, const std::string& key, const std::string& value) = 0;
};

// Xfce's configuration channels (the xfconf-query tool in production).
class XfceConfig {
public:
    virtual ~XfceConfig() = default;
    virtual std::optional<std::vector<std::string>> ListProperties(const std::string& channel) = 0;
    virtual bool SetString(const std::string& channel, const std::string& property, const std::string& value) = 0;
    virtual bool SetInt(const std::string& channel, const std::string& property, int value) = 0;
};

class DesktopWallpaper {
public:
    // `currentDesktop` is XDG_CURRENT_DESKTOP (a colon-separated list).
    DesktopWallpaper(const std::string& currentDesktop, SchemaSettings& settings, XfceConfig& xfce);

    bool CanSet() const;
    // The picture file as the wallpaper; false when this desktop offers no way or it failed.
    [[nodiscard]] bool Set(const std::string& pictureFile);
    // No picture: the desktop's plain background.
    bool Clear();

private:
    enum class Kind { None, Gnome, Cinnamon, Mate, Xfce };
    bool SetPicture(const std::string& pictureFile, bool clear);

    Kind kind_ = Kind::None;
    SchemaSettings& settings_;
    XfceConfig& xfce_;
};

// The production stores.
std::unique_ptr<SchemaSettings> MakeGioSchemaSettings();
std::unique_ptr<XfceConfig> MakeXfconfQuery();

}  // namespace ql
