#pragma once
// A fresh folder under the system temp dir, removed (without following links) when the
// object goes away.
#include <filesystem>
#include <string>

namespace ql::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder as a string with a trailing '/', the form the units use for folders.
    std::string dir() const { return path_.string() + "/"; }
    // Writes bytes to a file below the folder, creating parent folders.
    std::filesystem::path write(const std::string& relative, const std::string& bytes) const;
    std::string read(const std::string& relative) const;

private:
    std::filesystem::path path_;
};

// Waits up to `timeoutMs` for a file that another process writes (renamed into place once
// complete) and gives its bytes, or "<not written>".
std::string WaitForFile(const std::filesystem::path& path, int timeoutMs = 10000);

// Points XDG_CONFIG_HOME and XDG_RUNTIME_DIR at private folders for one test, restoring the
// previous values afterwards, so registry and socket tests never touch the user's own files.
class ScopedXdgEnv {
public:
    ScopedXdgEnv();  // folders below root()
    // Given folders, such as those of a program the test started.
    ScopedXdgEnv(const std::filesystem::path& config, const std::filesystem::path& runtime);
    ~ScopedXdgEnv();
    ScopedXdgEnv(const ScopedXdgEnv&) = delete;
    ScopedXdgEnv& operator=(const ScopedXdgEnv&) = delete;
    const TempDir& root() const { return root_; }

private:
    void PointAt(const std::filesystem::path& config, const std::filesystem::path& runtime);
    TempDir root_;
    std::string oldConfig_, oldRuntime_;
    bool hadConfig_ = false, hadRuntime_ = false;
};

}  // namespace ql::test
