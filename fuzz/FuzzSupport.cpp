#include "fuzz/FuzzSupport.h"

#include <filesystem>
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

namespace ql::fuzz {

std::string CleanScratchDir()
{
    // Never destroyed, so that the clean-up at exit can still read it.
    static const std::string* dir = [] {
        // In memory where possible: the files are written with flushes, once per input.
        const char* tmp = std::getenv("TMPDIR");
        std::error_code ec;
        const std::string parent = tmp && *tmp                                     ? tmp
                                   : std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm"
                                                                                   : "/tmp";
        std::string pattern = parent + "/quillory-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data()))
            std::abort();
        // Removed at exit; a crash leaves it for a look at what was written.
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(*dir, ec);
        });
        return new std::string(pattern + "/");
    }();
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(*dir, ec))
        std::filesystem::remove_all(entry.path(), ec);
    return *dir;
}

int MemoryFile(std::string_view bytes)
{
    int fd = memfd_create("quillory-fuzz", MFD_CLOEXEC);
    if (fd < 0)
        return -1;
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            close(fd);
            return -1;
        }
        done += static_cast<std::size_t>(n);
    }
    lseek(fd, 0, SEEK_SET);
    return fd;
}

}  // namespace ql::fuzz
