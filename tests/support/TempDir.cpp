#include "tests/support/TempDir.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace ql::test {

TempDir::TempDir()
{
    std::string templ = (fs::temp_directory_path() / "quillory-test-XXXXXX").string();
    if (!mkdtemp(templ.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = templ;
}

TempDir::~TempDir()
{
    std::error_code ec;
    // remove_all does not follow symbolic links; make read-only folders removable first.
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(path_, ec);
}

fs::path TempDir::write(const std::string& relative, const std::string& bytes) const
{
    fs::path p = path_ / relative;
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
}

std::string TempDir::read(const std::string& relative) const
{
    std::ifstream in(path_ / relative, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string WaitForFile(const fs::path& path, int timeoutMs)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::error_code ec;
    while (!fs::exists(path, ec) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "<not written>";
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

namespace {
void restore(const char* name, bool had, const std::string& old)
{
    if (had)
        setenv(name, old.c_str(), 1);
    else
        unsetenv(name);
}
}  // namespace

ScopedXdgEnv::ScopedXdgEnv() { PointAt(root_.path() / "config", root_.path() / "runtime"); }

ScopedXdgEnv::ScopedXdgEnv(const fs::path& config, const fs::path& runtime) { PointAt(config, runtime); }

void ScopedXdgEnv::PointAt(const fs::path& config, const fs::path& runtime)
{
    if (const char* v = getenv("XDG_CONFIG_HOME")) {
        hadConfig_ = true;
        oldConfig_ = v;
    }
    if (const char* v = getenv("XDG_RUNTIME_DIR")) {
        hadRuntime_ = true;
        oldRuntime_ = v;
    }
    fs::create_directories(config);
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
}

ScopedXdgEnv::~ScopedXdgEnv()
{
    restore("XDG_CONFIG_HOME", hadConfig_, oldConfig_);
    restore("XDG_RUNTIME_DIR", hadRuntime_, oldRuntime_);
}

}  // namespace ql::test
