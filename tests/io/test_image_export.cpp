// The DIB block and the three writers: layout and padding, files that read
// back as what was written, and failures that are reported and leave an
// existing file alone.
#include "io/dib_section.h"
#include "io/image_export.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace ombrix;

namespace
{

// A picture in which every pixel differs from its neighbours, so that any
// row or column mix-up shows.
QImage patterned(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 37 + y) & 255, (y * 53 + 7) & 255, (x * y + 91) & 255));
    return img;
}

// Smooth colours, which JPEG keeps closely.
QImage smooth(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, 128));
    return img;
}

int maxDifference(const QImage& a, const QImage& b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return worst;
}

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The little-endian value of `n` bytes from `at`.
std::uint32_t le(const QByteArray& b, int at, int n = 4)
{
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = v << 8 | static_cast<std::uint8_t>(b.at(at + i));
    return v;
}

cDIBSection dibOf(const QImage& img)
{
    cDIBSection dib;
    dib.CreateFromPicture(img);
    return dib;
}

class Export : public testing::Test
{
protected:
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
    QString qpath(const char* name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

} // namespace

TEST(DIBSection, RowsAreBottomUpBgrPaddedToFourBytes)
{
    EXPECT_EQ(cDIBSection::bytesPerScanLine(1), 4);
    EXPECT_EQ(cDIBSection::bytesPerScanLine(4), 12);
    EXPECT_EQ(cDIBSection::bytesPerScanLine(5), 16);
    EXPECT_EQ(cDIBSection::bytesPerScanLine(259), 780);

    const QImage img = patterned(5, 3);
    const cDIBSection dib = dibOf(img);
    ASSERT_FALSE(dib.empty());
    ASSERT_EQ(dib.Width(), 5);
    ASSERT_EQ(dib.Height(), 3);
    EXPECT_EQ(dib.header().biSize, 40u);
    EXPECT_EQ(dib.header().biBitCount, 24);
    EXPECT_EQ(dib.header().biSizeImage, 16u * 3);
    const std::uint8_t* bits = dib.DIBSectionBitsPtr();
    for (int row = 0; row < 3; ++row) {
        const int y = 2 - row; // the first stored row is the picture's bottom row
        const std::uint8_t* line = bits + row * dib.BytesPerScanLine();
        for (int x = 0; x < 5; ++x) {
            const QRgb p = img.pixel(x, y);
            EXPECT_EQ(line[3 * x], qBlue(p)) << x << "," << y;
            EXPECT_EQ(line[3 * x + 1], qGreen(p)) << x << "," << y;
            EXPECT_EQ(line[3 * x + 2], qRed(p)) << x << "," << y;
        }
        EXPECT_EQ(line[15], 0) << "padding of row " << row;
    }
    EXPECT_EQ(dib.toImage().convertToFormat(QImage::Format_RGB32), img);
}

TEST(DIBSection, ImpossibleSizesLeaveItEmpty)
{
    cDIBSection dib;
    EXPECT_TRUE(dib.Create(4, 4));
    EXPECT_FALSE(dib.Create(0, 10));
    EXPECT_TRUE(dib.empty());
    EXPECT_EQ(dib.DIBSectionBitsPtr(), nullptr);
    EXPECT_FALSE(dib.Create(10, -1));
    EXPECT_FALSE(dib.Create(70000, 70000)); // beyond the largest block
    EXPECT_TRUE(dib.empty());
    dib.CreateFromPicture(QImage());
    EXPECT_TRUE(dib.empty());
}

TEST_F(Export, BmpIsAStandardBitmapThatQtReadsBackExactly)
{
    const QImage img = patterned(7, 5); // odd width: rows padded by 3 bytes
    const ExportResult r = writeBmpFile(dibOf(img), path("a.bmp"));
    ASSERT_TRUE(r.ok) << r.message;
    const QByteArray b = contents(qpath("a.bmp"));
    ASSERT_EQ(b.size(), 54 + 24 * 5);
    EXPECT_EQ(b.left(2), QByteArray("BM"));
    EXPECT_EQ(le(b, 2), 54u + 24 * 5); // file size
    EXPECT_EQ(le(b, 10), 54u);         // pixels start after both headers
    EXPECT_EQ(le(b, 14), 40u);
    EXPECT_EQ(le(b, 18), 7u);
    EXPECT_EQ(le(b, 22), 5u); // positive: bottom-up
    EXPECT_EQ(le(b, 26, 2), 1);
    EXPECT_EQ(le(b, 28, 2), 24);
    EXPECT_EQ(le(b, 30), 0u); // uncompressed
    const QImage back(qpath("a.bmp"), "BMP");
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), img);
}

TEST_F(Export, JpegDecodesCloseToThePictureAtEveryQuality)
{
    const QImage img = smooth(101, 37);
    const cDIBSection dib = dibOf(img);
    for (const Long quality : {100, 75, 10}) {
        SCOPED_TRACE(quality);
        const ExportResult r = WriteJpegFile(dib, path("a.jpg"), quality);
        ASSERT_TRUE(r.ok) << r.message;
        EXPECT_TRUE(contents(qpath("a.jpg")).startsWith("\xFF\xD8\xFF"));
        const QImage back(qpath("a.jpg"), "JPG");
        ASSERT_EQ(back.size(), img.size());
        EXPECT_LE(maxDifference(back, img), quality == 100 ? 4 : quality == 75 ? 16 : 48);
    }
    // The top row stays on top: a picture dark above, light below.
    QImage split(16, 16, QImage::Format_RGB32);
    split.fill(Qt::black);
    for (int y = 8; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            split.setPixel(x, y, qRgb(255, 255, 255));
    ASSERT_TRUE(WriteJpegFile(dibOf(split), path("split.jpg"), 90).ok);
    const QImage back(qpath("split.jpg"), "JPG");
    EXPECT_LT(qGray(back.pixel(4, 1)), 40);
    EXPECT_GT(qGray(back.pixel(4, 14)), 215);
}

TEST_F(Export, QualityIsHeldToItsRange)
{
    const cDIBSection dib = dibOf(patterned(64, 64));
    ASSERT_TRUE(WriteJpegFile(dib, path("low.jpg"), -5).ok);
    ASSERT_TRUE(WriteJpegFile(dib, path("ten.jpg"), 10).ok);
    ASSERT_TRUE(WriteJpegFile(dib, path("high.jpg"), 500).ok);
    ASSERT_TRUE(WriteJpegFile(dib, path("hundred.jpg"), 100).ok);
    EXPECT_EQ(contents(qpath("low.jpg")), contents(qpath("ten.jpg")));
    EXPECT_EQ(contents(qpath("high.jpg")), contents(qpath("hundred.jpg")));
}

TEST_F(Export, SaveImageChoosesTheFormatByExtension)
{
    const QImage img = patterned(9, 4);
    ASSERT_TRUE(saveImage(img, path("a.PNG"), 100).ok);
    ASSERT_TRUE(saveImage(img, path("b.Bmp"), 100).ok);
    ASSERT_TRUE(saveImage(img, path("c.jpeg"), 100).ok);
    ASSERT_TRUE(saveImage(img, path("d.JPG"), 100).ok);
    EXPECT_EQ(QImageReader(qpath("a.PNG")).format(), "png");
    EXPECT_EQ(QImageReader(qpath("b.Bmp")).format(), "bmp");
    EXPECT_EQ(QImageReader(qpath("c.jpeg")).format(), "jpeg");
    EXPECT_EQ(QImageReader(qpath("d.JPG")).format(), "jpeg");
    EXPECT_EQ(QImage(qpath("a.PNG")).convertToFormat(QImage::Format_RGB32), img);
    EXPECT_EQ(QImage(qpath("b.Bmp")).convertToFormat(QImage::Format_RGB32), img);

    for (const char* name : {"e.gif", "noextension", "f.png.txt"}) {
        const ExportResult r = saveImage(img, path(name), 100);
        EXPECT_FALSE(r.ok) << name;
        EXPECT_FALSE(r.message.empty()) << name;
        EXPECT_FALSE(QFile::exists(qpath(name))) << name;
    }
    EXPECT_FALSE(saveImage(QImage(), path("empty.png"), 100).ok);
}

TEST_F(Export, FailuresAreReportedAndLeaveExistingFilesAlone)
{
    const QImage img = patterned(8, 8);
    // Into a folder that does not exist.
    for (const char* name : {"none/a.png", "none/a.bmp", "none/a.jpg"}) {
        const ExportResult r = saveImage(img, path(name), 100);
        EXPECT_FALSE(r.ok) << name;
        EXPECT_FALSE(r.message.empty()) << name;
    }
    // Onto a folder: the folder stays what it was.
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.bmp"));
    EXPECT_FALSE(saveImage(img, path("taken.bmp"), 100).ok);
    EXPECT_TRUE(QFileInfo(qpath("taken.bmp")).isDir());
    // Over an existing, longer file: exactly the new content, no stale tail.
    {
        QFile old(qpath("over.bmp"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, 'x'));
    }
    ASSERT_TRUE(saveImage(img, path("over.bmp"), 100).ok);
    EXPECT_EQ(contents(qpath("over.bmp")).size(), 54 + 24 * 8);
    // Nothing but the files asked for is left behind.
    const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(left, QStringList{"over.bmp"});
}
