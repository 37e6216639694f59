#pragma once
// Scratch folders for the benchmarks, under the system temp dir.
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace ql::bench {

// A fresh folder, as a string with a trailing '/'; the caller removes it.
inline std::string MakeTempFolder()
{
    std::string templ = (std::filesystem::temp_directory_path() / "quillory-bench-XXXXXX").string();
    if (!mkdtemp(templ.data()))
        throw std::runtime_error("mkdtemp failed");
    return templ + "/";
}

// A fresh folder removed with everything in it when the object goes away.
class Folder {
public:
    Folder() : path_(MakeTempFolder()) {}
    ~Folder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace ql::bench
