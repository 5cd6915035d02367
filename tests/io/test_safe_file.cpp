// The writer every file goes through: the whole new file or the old one, its
// permissions kept, and nothing left beside it.
#include "io/safe_file.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace ombrix;
namespace fs = std::filesystem;

TEST(SafeFile, ReplacesTheWholeFileOrNothingAndKeepsItsPermissions)
{
    QTemporaryDir tmp;
    const std::string dir = tmp.path().toStdString(), file = dir + "/f";
    const auto content = [&] {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const auto mode = [&] { return fs::status(file).permissions(); };
    const mode_t umask = ::umask(027);
    const std::string created = writeWholeFile(file, "abc", 3);
    ::umask(umask);
    EXPECT_EQ(created, "");
    EXPECT_EQ(mode(), fs::perms(0640)); // 0666 less the umask, as for any new file
    fs::permissions(file, fs::perms(0604));
    EXPECT_EQ(writeWholeFile(file, "de", 2), "");
    EXPECT_EQ(content(), "de");
    EXPECT_EQ(mode(), fs::perms(0604));

    fs::create_symlink("f", dir + "/link"); // the file a link points to is replaced
    EXPECT_EQ(writeWholeFile(dir + "/link", "g", 1), "");
    EXPECT_TRUE(fs::is_symlink(dir + "/link"));
    EXPECT_EQ(content(), "g");
    {
        SafeFile unfinished(file);
        ASSERT_TRUE(unfinished.open() && unfinished.write("hij", 3));
    } // never committed
    EXPECT_EQ(content(), "g");
    EXPECT_EQ(writeWholeFile(dir, "x", 1), systemError(EISDIR));
    if (::geteuid() != 0) { // the superuser writes read-only files and folders
        fs::permissions(file, fs::perms(0444));
        EXPECT_EQ(writeWholeFile(file, "x", 1), systemError(EACCES));
        fs::permissions(file, fs::perms(0644));
        fs::permissions(dir, fs::perms(0500));
        EXPECT_EQ(writeWholeFile(file, "x", 1), systemError(EACCES));
        fs::permissions(dir, fs::perms(0700));
        EXPECT_EQ(content(), "g");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}
