#include "components/shell/ShellListFileFilter.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

#include "platform/core/shell/ShellItems.h"

namespace ql::shellctl {

namespace {
std::string Upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c); });
    return s;
}
}  // namespace

std::vector<std::string> SplitFileFilter(const std::string& filter)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= filter.size()) {
        std::size_t end = filter.find(';', start);
        if (end == std::string::npos)
            end = filter.size();
        if (end > start)
            parts.push_back(filter.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::optional<std::set<std::string>> BuildFileFilter(const std::string& folderPath, const std::string& filter,
                                                     const std::vector<std::string>& patterns)
{
    if (folderPath.empty() || filter.empty() || filter == "*" || filter == "*.*")
        return std::nullopt;
    std::set<std::string> names;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folderPath.c_str()), closedir);
    if (!dir)
        return names;
    std::vector<std::string> files;
    while (dirent* e = readdir(dir.get())) {
        std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st {};
        if (stat(shell::JoinPath(folderPath, name).c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            continue;
        files.push_back(std::move(name));
    }
    // Patterns compare as the file manager's did: without regard to case, "*.*" matching names
    // without a dot too.
    for (const std::string& pattern : patterns) {
        std::string p = Upper(pattern);
        const bool anyName = p == "*.*";
        for (const std::string& f : files)
            if (anyName || fnmatch(p.c_str(), Upper(f).c_str(), 0) == 0)
                names.insert(Upper(f));
    }
    return names;
}

bool MatchesFileFilter(const std::set<std::string>& names, const std::string& fileName, bool folder)
{
    return folder || names.count(Upper(fileName)) > 0;
}

}  // namespace ql::shellctl
