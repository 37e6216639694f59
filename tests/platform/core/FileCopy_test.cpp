#include "platform/core/FileCopy.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

namespace ql {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

mode_t ModeOf(const fs::path& p)
{
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st.st_mode & 0777;
}

TEST(FileCopy, ANewFileIsCopiedAndNothingIsEverReplaced)
{
    TempDir from, to;
    const std::string big(300 * 1024 + 7, 'b');  // more than one round of the kernel's copy
    from.write("big.png", big);
    fs::permissions(from.path() / "big.png", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    from.write("other.png", "other");
    fs::create_symlink(from.path() / "other.png", from.path() / "link.png");
    fs::create_directory(from.path() / "folder.png");
    to.write("taken.png", "kept");
    fs::create_symlink(to.path() / "outside.png", to.path() / "dangling.png");

    UniqueFd src = OpenFolder(from.dir()), dst = OpenFolder(to.dir());
    ASSERT_TRUE(src && dst);
    EXPECT_EQ(CopyToNewFile(src.get(), "big.png", dst.get(), "big.png"), FileCopyResult::Copied);
    EXPECT_EQ(to.read("big.png"), big);
    // The source's permissions, less the umask.
    EXPECT_EQ(ModeOf(to.path() / "big.png") & ~0640u, 0u);
    EXPECT_EQ(ModeOf(to.path() / "big.png") & 0600u, 0600u);
    EXPECT_EQ(CopyToNewFile(src.get(), "other.png", dst.get(), "taken.png"), FileCopyResult::Exists);
    EXPECT_EQ(to.read("taken.png"), "kept");
    // A link at the target is not written through, a link at the source is followed.
    EXPECT_EQ(CopyToNewFile(src.get(), "other.png", dst.get(), "dangling.png"), FileCopyResult::Exists);
    EXPECT_FALSE(fs::exists(to.path() / "outside.png"));
    EXPECT_EQ(CopyToNewFile(src.get(), "link.png", dst.get(), "linked.png"), FileCopyResult::Copied);
    EXPECT_EQ(to.read("linked.png"), "other");
    EXPECT_EQ(CopyToNewFile(src.get(), "missing.png", dst.get(), "m.png"), FileCopyResult::Missing);
    EXPECT_EQ(CopyToNewFile(src.get(), "folder.png", dst.get(), "f.png"), FileCopyResult::Missing);
    EXPECT_FALSE(fs::exists(to.path() / "m.png"));
    EXPECT_FALSE(OpenFolder(from.dir() + "absent/"));
}

TEST(FileCopy, ReplacingGoesThroughACopyBesideTheTarget)
{
    TempDir from, to;
    from.write("page.html", "new page");
    to.write("page.html", "old page");
    fs::create_symlink(to.path() / "elsewhere.html", to.path() / "linked.html");
    UniqueFd src = OpenFolder(from.dir()), dst = OpenFolder(to.dir());
    EXPECT_EQ(CopyReplacing(src.get(), "page.html", dst.get(), "page.html"), FileCopyResult::Copied);
    EXPECT_EQ(to.read("page.html"), "new page");
    EXPECT_EQ(CopyReplacing(src.get(), "page.html", dst.get(), "linked.html"), FileCopyResult::Copied);
    EXPECT_FALSE(fs::is_symlink(to.path() / "linked.html"));
    EXPECT_FALSE(fs::exists(to.path() / "elsewhere.html"));
    EXPECT_EQ(CopyReplacing(src.get(), "gone.html", dst.get(), "page.html"), FileCopyResult::Missing);
    EXPECT_EQ(to.read("page.html"), "new page");
    EXPECT_EQ(std::distance(fs::directory_iterator(to.path()), fs::directory_iterator()), 2);
}

// Between file systems the kernel may refuse to copy by itself: the bytes go the plain way.
TEST(FileCopy, CopiesBetweenFileSystems)
{
    if (!fs::is_directory("/dev/shm"))
        GTEST_SKIP() << "no /dev/shm";
    TempDir to;
    const fs::path shm = fs::path("/dev/shm") / ("ql-filecopy-" + std::to_string(::getpid()));
    fs::create_directory(shm);
    const std::string bytes(70000, 'x');
    {
        std::FILE* f = std::fopen((shm / "a.png").c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    UniqueFd src = OpenFolder(shm.string()), dst = OpenFolder(to.dir());
    EXPECT_EQ(CopyToNewFile(src.get(), "a.png", dst.get(), "a.png"), FileCopyResult::Copied);
    fs::remove_all(shm);
    EXPECT_EQ(to.read("a.png"), bytes);
}

}  // namespace
}  // namespace ql
