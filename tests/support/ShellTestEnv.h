#pragma once
// The session these tests run in: HOME, XDG_CONFIG_HOME and XDG_DATA_HOME point at one private
// folder for the whole process (the trash library reads them once), so no test sees or
// changes the user's own home, trash or settings. Each test gets a fresh tree below it.
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/shell/ShellFolder.h"
#include "platform/core/shell/ShellServices.h"
#include "tests/support/TempDir.h"

namespace ql::test {

inline const std::filesystem::path& SessionRoot()
{
    // Made on first use and removed when the process ends; the trash library keeps the paths
    // it read, so they stay the same for the whole run. A GUI test's main has already set
    // one up before the toolkit read them (QUILLORY_TEST_SESSION_ROOT), and that one is used.
    struct Session {
        std::unique_ptr<TempDir> own;
        std::filesystem::path root;
        Session()
        {
            const char* given = std::getenv("QUILLORY_TEST_SESSION_ROOT");
            if (given && *given) {
                root = given;
                return;
            }
            own = std::make_unique<TempDir>();
            root = own->path();
            for (const char* sub : {"home", "config", "data"})
                std::filesystem::create_directories(root / sub);
            setenv("HOME", (root / "home").c_str(), 1);
            setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
            setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
        }
    };
    static Session session;
    return session.root;
}

inline std::filesystem::path HomeDir() { return SessionRoot() / "home"; }

// Gets the desktop folder and frees it at the end.
inline com::ComPtr<shell::IShellFolder> Desktop()
{
    com::ComPtr<shell::IShellFolder> desktop;
    shell::SHGetDesktopFolder(desktop.put());
    return desktop;
}

inline com::ComPtr<shell::IShellFolder> FolderOf(const std::string& path)
{
    auto list = shell::PathToAbsoluteIdList(path);
    com::ComPtr<shell::IShellFolder> folder;
    if (list)
        Desktop()->BindToObject(*list, shell::IShellFolder::IID_, folder.putVoid());
    return folder;
}

inline std::string DisplayName(shell::IShellFolder* folder, const shell::ItemIdList& item, com::DWORD flags)
{
    shell::STRRET name;
    if (com::FAILED(folder->GetDisplayNameOf(item, flags, &name)))
        return "<failed>";
    return name.cStr;
}

// The delete confirmations with scripted answers; each question's paths are kept.
class FakeShellConfirm : public shell::ShellConfirm {
public:
    bool trashAnswer = true;
    bool permanentAnswer = false;
    std::vector<std::vector<std::string>> trashAsked, permanentAsked;
    bool ConfirmMoveToTrash(const std::vector<std::string>& paths) override
    {
        trashAsked.push_back(paths);
        return trashAnswer;
    }
    bool ConfirmPermanentDelete(const std::vector<std::string>& paths) override
    {
        permanentAsked.push_back(paths);
        return permanentAnswer;
    }
};

}  // namespace ql::test
