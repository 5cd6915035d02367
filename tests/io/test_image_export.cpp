// The DIB block and the three writers: layout and padding, files that read
// back as what was written, and failures that are reported and write nothing.
#include "io/dib_section.h"
#include "io/image_export.h"
#include "io/safe_file.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace ombrix;

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

class Export : public testing::Test
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
    QTemporaryDir dir;
};

} // namespace

// The block's pixels are checked through the bitmap file, which Qt's own
// reader must give back exactly.
TEST_F(Export, BmpIsTheBlockBehindAStandardHeaderAndReadsBackExactly)
{
    for (const auto& [width, row] : {std::pair{1, 4}, {4, 12}, {5, 16}, {259, 780}})
        EXPECT_EQ(cDIBSection::bytesPerScanLine(width), row);
    cDIBSection dib;
    for (const auto& [w, h] : {std::pair{0, 10}, {10, -1}, {70000, 70000}}) {
        EXPECT_FALSE(dib.Create(w, h));
        EXPECT_TRUE(dib.empty() && dib.DIBSectionBitsPtr() == nullptr);
    }

    const QImage img = picture(7, 5); // odd width: rows padded by 3 bytes
    ASSERT_TRUE(saveImage(img, path("a.bmp"), 100).ok);
    const QByteArray b = contents("a.bmp");
    ASSERT_EQ(b.size(), 54 + 24 * 5);
    EXPECT_EQ(b.left(2), QByteArray("BM"));
    // Offset, bytes, value: file size, pixel offset, header size, width,
    // height (positive: bottom-up), planes, bits, no compression, pixel bytes.
    const int fields[][3] = {{2, 4, 54 + 24 * 5}, {10, 4, 54}, {14, 4, 40},
                             {18, 4, 7},          {22, 4, 5},  {26, 2, 1},
                             {28, 2, 24},         {30, 4, 0},  {34, 4, 24 * 5}};
    for (const auto& [at, n, value] : fields) {
        std::uint32_t v = 0;
        for (int i = n - 1; i >= 0; --i)
            v = v << 8 | static_cast<std::uint8_t>(b.at(at + i));
        EXPECT_EQ(v, static_cast<std::uint32_t>(value)) << "at " << at;
    }
    EXPECT_EQ(read("a.bmp"), img);
}

TEST_F(Export, JpegDecodesCloseToThePictureWithItsQualityHeldTo10To100)
{
    const QImage img = picture(101, 37, true);
    cDIBSection dib;
    dib.CreateFromPicture(img);
    for (const auto& [quality, tolerance] : {std::pair{100, 4}, {75, 16}, {10, 48}}) {
        ASSERT_TRUE(WriteJpegFile(dib, path("a.jpg"), quality).ok);
        const QImage back = read("a.jpg");
        ASSERT_EQ(back.size(), img.size());
        int worst = 0; // rows the wrong way up would differ by far more
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                for (const int shift : {0, 8, 16})
                    worst = std::max(worst, std::abs(int((back.pixel(x, y) >> shift) & 255) -
                                                     int((img.pixel(x, y) >> shift) & 255)));
        EXPECT_LE(worst, tolerance) << quality;
    }
    for (const auto& [given, held] : {std::pair{-5, 10}, {500, 100}}) {
        ASSERT_TRUE(WriteJpegFile(dib, path("given.jpg"), given).ok);
        ASSERT_TRUE(WriteJpegFile(dib, path("held.jpg"), held).ok);
        EXPECT_EQ(contents("given.jpg"), contents("held.jpg")) << given;
    }
}

TEST_F(Export, SaveImageChoosesTheFormatByExtensionAndReportsFailures)
{
    const QImage img = picture(9, 4);
    for (const auto& [name, format] :
         {std::pair{"a.PNG", "png"}, {"b.Bmp", "bmp"}, {"c.jpeg", "jpeg"}, {"d.JPG", "jpeg"}}) {
        ASSERT_TRUE(saveImage(img, path(name), 100).ok) << name;
        EXPECT_EQ(QImageReader(dir.filePath(name)).format(), format) << name;
    }
    EXPECT_EQ(read("a.PNG"), img);
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
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"a.PNG", "b.Bmp", "c.jpeg", "d.JPG", "taken.png"}));
}
