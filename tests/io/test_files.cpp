// SPDX-License-Identifier: GPL-3.0-or-later
// Files written whole or not at all, the DIB block and the three image
// writers: layout and padding, files that read back as what was written, and
// failures that are reported and write nothing.
#include "io/dib_section.h"
#include "io/image_export.h"
#include "io/safe_file.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace ombrix;
namespace fs = std::filesystem;

namespace
{

// Every pixel differs from its neighbours, so that any row or column mix-up
// shows; `smooth` gives colours that JPEG keeps closely, green growing
// downwards.
QImage picture(int w, int h, bool smooth = false)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y,
                         smooth ? qRgb(x * 255 / w, y * 255 / h, 128)
                                : qRgb((x * 37 + y) & 255, (y * 53 + 7) & 255, (x * y + 91) & 255));
    return img;
}

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
    QStringList listing() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    QTemporaryDir dir;
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

    const QImage img = picture(7, 5); // odd width: rows padded by 3 bytes
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
    const QImage img = picture(101, 37, true);
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
    const QImage img = picture(9, 4);
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
