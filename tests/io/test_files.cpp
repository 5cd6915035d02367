// SPDX-License-Identifier: GPL-3.0-or-later
// Files written whole or not at all, the DIB block and the three image
// writers: layout, padding, exact read-back (odd sizes, other pixel formats,
// more rows than a batch), and failures that are reported and write nothing.
#include "io/dib_section.h"
#include "io/image_export.h"
#include "io/safe_file.h"
#include "support/render_fixture.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <tuple>

using namespace ombrix;
namespace fs = std::filesystem;

namespace
{

using test::mottled;

class Files : public testing::Test
{
protected:
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
    QByteArray contents(const char* name) const
    {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QImage read(const char* name) const
    {
        return QImage(dir.filePath(name)).convertToFormat(QImage::Format_RGB32);
    }
    // FIFOs, sockets and dangling links too.
    QStringList listing() const
    {
        return QDir(dir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    QTemporaryDir dir;
};
class ImageWriters : public Files
{
};

} // namespace

TEST_F(Files, SafeFileReplacesTheWholeFileOrNothingAndKeepsItsPermissions)
{
    const std::string file = path("f");
    const auto mode = [&] { return fs::status(file).permissions(); };
    const mode_t umask = ::umask(027);
    EXPECT_EQ(writeWholeFile(file, "abc", 3), "");
    ::umask(umask);
    EXPECT_EQ(mode(), fs::perms(0640)); // 0666 less the umask, as for any new file
    fs::permissions(file, fs::perms(0604));
    EXPECT_EQ(writeWholeFile(file, "de", 2), "");
    EXPECT_EQ(contents("f"), "de");
    EXPECT_EQ(mode(), fs::perms(0604));

    fs::create_symlink("f", path("link")); // the file a link points to is replaced
    EXPECT_EQ(writeWholeFile(path("link"), "g", 1), "");
    EXPECT_TRUE(fs::is_symlink(path("link")));
    EXPECT_EQ(contents("f"), "g");
    {
        SafeFile unfinished(file);
        ASSERT_TRUE(unfinished.open() && unfinished.write("hij", 3));
    } // never committed
    EXPECT_EQ(contents("f"), "g");
    if (::geteuid() != 0) { // the superuser writes read-only files and folders
        fs::permissions(file, fs::perms(0444));
        EXPECT_EQ(writeWholeFile(file, "x", 1), systemError(EACCES));
        fs::permissions(file, fs::perms(0644));
        fs::permissions(dir.path().toStdString(), fs::perms(0500));
        EXPECT_EQ(writeWholeFile(file, "x", 1), systemError(EACCES));
        fs::permissions(dir.path().toStdString(), fs::perms(0700));
        EXPECT_EQ(contents("f"), "g");
    }
    EXPECT_EQ(listing(), (QStringList{"f", "link"}));
}

// The block's pixels are checked through the bitmap file, which Qt's own
// reader must give back exactly.
TEST_F(Files, BmpIsTheBlockBehindAStandardHeaderAndReadsBackExactly)
{
    for (const auto& [width, row] : {std::pair{1, 4}, {4, 12}, {5, 16}, {259, 780}})
        EXPECT_EQ(cDIBSection::paddedRowBytes(width), row);
    cDIBSection dib;
    for (const auto& [w, h] : {std::pair{0, 10}, {10, -1}, {70000, 70000}}) {
        EXPECT_FALSE(dib.Create(w, h));
        EXPECT_TRUE(dib.empty() && dib.DIBSectionBitsPtr() == nullptr);
    }

    const QImage img = mottled(7, 5); // odd width: rows padded by 3 bytes
    ASSERT_TRUE(saveImage(img, path("a.bmp"), 100).ok);
    const QByteArray b = contents("a.bmp");
    ASSERT_EQ(b.size(), 54 + 24 * 5);
    // "BM", the file's size, two reserved words, where the pixels start; the
    // header's size, width 7, height 5 (positive: bottom-up), one plane, 24
    // bits, no compression, the pixels' size, no resolution, no palette.
    EXPECT_EQ(b.left(54).toHex(' ').toStdString(),
              "42 4d ae 00 00 00 00 00 00 00 36 00 00 00 "
              "28 00 00 00 07 00 00 00 05 00 00 00 01 00 18 00 00 00 00 00 "
              "78 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
    EXPECT_EQ(read("a.bmp"), img);
}

TEST_F(Files, JpegDecodesCloseToThePictureWithItsQualityHeldTo10To100)
{
    // Colours that JPEG keeps closely, green growing downwards.
    QImage img(101, 37, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb(x * 255 / 101, y * 255 / 37, 128));
    cDIBSection dib;
    dib.CreateFromPicture(img);
    for (const auto& [quality, tolerance] : {std::pair{100, 4}, {75, 16}, {10, 48}}) {
        ASSERT_TRUE(WriteJpegFile(dib, path("a.jpg"), quality).ok);
        const QImage back = read("a.jpg");
        ASSERT_EQ(back.size(), img.size());
        int worst = 0; // rows the wrong way up would differ by far more
        for (qsizetype i = 0; i < img.sizeInBytes(); ++i) // alpha is 255 in both
            worst = std::max(worst, std::abs(img.constBits()[i] - back.constBits()[i]));
        EXPECT_LE(worst, tolerance) << quality;
    }
    for (const auto& [given, held] : {std::pair{-5, 10}, {500, 100}}) {
        ASSERT_TRUE(WriteJpegFile(dib, path("given.jpg"), given).ok &&
                    WriteJpegFile(dib, path("held.jpg"), held).ok);
        EXPECT_EQ(contents("given.jpg"), contents("held.jpg")) << given;
    }
}

TEST_F(Files, SaveImageChoosesTheFormatByExtensionAndReportsFailures)
{
    const QImage img = mottled(9, 4);
    for (const auto& [name, format] :
         {std::pair{"a.PNG", "png"}, {"b.Bmp", "bmp"}, {"c.jpeg", "jpeg"}, {"d.JPG", "jpeg"}}) {
        ASSERT_TRUE(saveImage(img, path(name), 100).ok) << name;
        EXPECT_EQ(QImageReader(dir.filePath(name)).format(), format) << name;
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.png"));
    // Each failure names the file and its cause, and writes nothing.
    const std::pair<const char*, std::string> failures[] = {
        {"e.gif", "unknown image type"},     {"noextension", "unknown image type"},
        {"none/a.png", systemError(ENOENT)}, {"none/a.bmp", systemError(ENOENT)},
        {"none/a.jpg", systemError(ENOENT)}, {"taken.png", systemError(EISDIR)}};
    for (const auto& [name, cause] : failures) {
        const ExportResult r = saveImage(img, path(name), 100);
        EXPECT_FALSE(r.ok) << name;
        EXPECT_EQ(r.message.find("cannot write \"" + path(name) + "\": " + cause), 0u) << r.message;
    }
    EXPECT_FALSE(saveImage(QImage(), path("empty.png"), 100).ok);
    EXPECT_EQ(listing(), (QStringList{"a.PNG", "b.Bmp", "c.jpeg", "d.JPG", "taken.png"}));
}

// Each kind of node as a target and as a source: a link is followed and
// stays a link; a FIFO, socket, device or folder is refused and is still
// that node afterwards; nothing is left beside any of them.
TEST_F(Files, TheWriterFollowsLinksAndLeavesNodesThatAreNotFilesAsTheyWere)
{
    const fs::path root = path("");
    std::ofstream(root / "real.obp") << "old";
    fs::create_symlink("real.obp", root / "link.obp");
    fs::create_symlink("made.obp", root / "dangling.obp");
    fs::create_symlink("/dev/null", root / "null.obp");
    fs::create_directory(root / "folder.obp");
    ASSERT_EQ(::mkfifo((root / "fifo.obp").c_str(), 0600), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string sockPath = (root / "sock.obp").string();
    ASSERT_LT(sockPath.size(), sizeof addr.sun_path);
    std::strcpy(addr.sun_path, sockPath.c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);

    const std::string_view data = "new";
    // name, refused with, the node's type afterwards
    const std::tuple<const char*, const char*, fs::file_type> cases[] = {
        {"link.obp", "", fs::file_type::symlink},
        {"dangling.obp", "", fs::file_type::symlink},
        {"null.obp", "it is a character device, not a regular file", fs::file_type::symlink},
        {"folder.obp", "Is a directory", fs::file_type::directory},
        {"fifo.obp", "it is a FIFO, not a regular file", fs::file_type::fifo},
        {"sock.obp", "it is a socket, not a regular file", fs::file_type::socket},
    };
    for (const auto& [name, refused, after] : cases) {
        const std::string why = writeWholeFile(path(name), data.data(), data.size());
        EXPECT_NE(why.find(refused), std::string::npos) << name << ": " << why;
        EXPECT_EQ(why.empty(), *refused == '\0') << name << ": " << why;
        EXPECT_EQ(fs::symlink_status(root / name).type(), after) << name;
    }
    ::close(sock);
    EXPECT_EQ(contents("real.obp"), "new");
    EXPECT_EQ(contents("made.obp"), "new");
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(listing(), (QStringList{"dangling.obp", "fifo.obp", "folder.obp", "link.obp",
                                      "made.obp", "null.obp", "real.obp", "sock.obp"}));

    // Reading opens only regular files, and a FIFO with no writer is refused
    // at once rather than waited on.
    for (const char* name : {"fifo.obp", "folder.obp", "null.obp", "sock.obp"}) {
        std::string error;
        EXPECT_EQ(openRegularFile(path(name), error), -1) << name;
        EXPECT_NE(error.find("not a regular file"), std::string::npos) << name << ": " << error;
    }
    std::string error;
    const int fd = openRegularFile(path("link.obp"), error);
    EXPECT_GE(fd, 0) << error;
    if (fd >= 0)
        ::close(fd);
}

TEST_F(ImageWriters, BitmapAndJpegFromRowsEqualTheFilesFromTheBlock)
{
    // 1 x 1; 7 x 5, whose rows are padded; 700 x 600, more than one batch
    // of rows; and a picture in another pixel format.
    const QImage pictures[] = {mottled(1, 1), mottled(7, 5), mottled(700, 600),
                               mottled(33, 17, QImage::Format_RGB888)};
    for (const QImage& img : pictures) {
        SCOPED_TRACE(testing::Message() << img.width() << "x" << img.height());
        cDIBSection dib;
        dib.CreateFromPicture(img);
        ASSERT_FALSE(dib.empty());
        ASSERT_TRUE(writeBmpFile(dib, path("block.bmp")).ok);
        ASSERT_TRUE(saveImage(img, path("rows.bmp"), 100).ok);
        EXPECT_EQ(contents("rows.bmp"), contents("block.bmp"));
        for (const Long quality : {100, 60}) {
            ASSERT_TRUE(WriteJpegFile(dib, path("block.jpg"), quality).ok);
            ASSERT_TRUE(saveImage(img, path("rows.jpg"), quality).ok);
            EXPECT_EQ(contents("rows.jpg"), contents("block.jpg")) << quality;
        }
    }
}

TEST_F(ImageWriters, PngDecodesToThePictureExactly)
{
    const QImage pictures[] = {
        mottled(1, 1),   mottled(2, 3),     mottled(7, 5),
        mottled(1, 300), mottled(700, 600), mottled(40, 9, QImage::Format_ARGB32_Premultiplied)};
    for (const QImage& img : pictures) {
        SCOPED_TRACE(testing::Message() << img.width() << "x" << img.height());
        ASSERT_TRUE(saveImage(img, path("a.png"), 100).ok);
        QImageReader reader(dir.filePath("a.png"));
        EXPECT_EQ(reader.format(), "png");
        const QImage back = reader.read(); // the reader checks every chunk's CRC
        ASSERT_FALSE(back.isNull()) << reader.errorString().toStdString();
        EXPECT_FALSE(back.hasAlphaChannel());
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32),
                  img.convertToFormat(QImage::Format_RGB32));
    }
}

TEST_F(ImageWriters, PngOfAGradientStaysSmall)
{
    // A drawn gradient (vertical bands, horizontal bands) packs into a
    // small share of its 3 bytes a pixel.
    QImage across(1920, 1080, QImage::Format_RGB32), down(1920, 1080, QImage::Format_RGB32);
    for (int y = 0; y < 1080; ++y)
        for (int x = 0; x < 1920; ++x) {
            across.setPixel(x, y, qRgb(x / 15, 255 - x / 15, 90));
            down.setPixel(x, y, qRgb(y / 9, 30, 255 - y / 9));
        }
    for (const QImage& img : {across, down}) {
        ASSERT_TRUE(saveImage(img, path("g.png"), 100).ok);
        EXPECT_LT(contents("g.png").size(), 1920 * 1080 * 3 / 50);
    }
}
