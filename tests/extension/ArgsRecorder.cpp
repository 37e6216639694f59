// A program for the capture tests to start: writes its arguments, each followed by a NUL, to
// the file named by QL_RECORDER_OUT, renamed into place once complete.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    const char* out = std::getenv("QL_RECORDER_OUT");
    if (!out || !*out)
        return 2;
    const std::string temp = std::string(out) + ".tmp" + std::to_string(::getpid());
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f)
        return 1;
    for (int i = 1; i < argc; ++i) {
        std::fputs(argv[i], f);
        std::fputc('\0', f);
    }
    if (std::fclose(f) != 0 || std::rename(temp.c_str(), out) != 0)
        return 1;
    return 0;
}
