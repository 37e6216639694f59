#include "platform/core/RuntimeDir.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ql {

namespace {

// Creates `dir` with `mode` when missing and checks that it is a real folder owned by us.
bool ensurePrivateDir(const std::string& dir, mode_t mode, bool requirePrivate, std::string* error)
{
    if (::mkdir(dir.c_str(), mode) != 0 && errno != EEXIST) {
        if (error)
            *error = "cannot create " + dir + ": " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        if (error)
            *error = dir + " is not a folder";
        return false;
    }
    if (st.st_uid != ::getuid()) {
        if (error)
            *error = dir + " belongs to another user (uid " + std::to_string(st.st_uid) + ")";
        return false;
    }
    if (requirePrivate && (st.st_mode & 077) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
        if (error)
            *error = dir + " is open to other users (mode " + mode + "): it must be private to its owner (chmod 700 " +
                     dir + ")";
        return false;
    }
    return true;
}

}  // namespace

const char* AbsoluteEnvPath(const char* name)
{
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? value : nullptr;
}

std::string RuntimeDir(std::string* error)
{
    std::string base;
    if (const char* xdg = AbsoluteEnvPath("XDG_RUNTIME_DIR")) {
        base = xdg;
        if (base.back() != '/')
            base += '/';
        base += "quillory";
    } else {
        base = "/tmp/quillory-" + std::to_string(::getuid());
    }
    if (!ensurePrivateDir(base, 0700, true, error))
        return "";
    return base + "/";
}

std::string ConfigDir()
{
    std::string base;
    if (const char* xdg = AbsoluteEnvPath("XDG_CONFIG_HOME")) {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            if (passwd* pw = ::getpwuid(::getuid()))
                home = pw->pw_dir;
        }
        if (!home || !*home)
            return "";
        base = std::string(home) + "/.config";
    }
    if (base.back() != '/')
        base += '/';
    std::string dir = base + "quillory";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (!std::filesystem::is_directory(dir, ec))
        return "";
    return dir + "/";
}

}  // namespace ql
