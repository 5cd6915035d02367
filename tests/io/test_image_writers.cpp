// SPDX-License-Identifier: GPL-3.0-or-later
// The writers that take the picture's own rows: the same files as from the
// DIB block (bitmap and JPEG), and PNG files that decode to the picture
// exactly, for odd sizes, other pixel formats and pictures larger than the
// writers' batches.
#include "io/dib_section.h"
#include "io/image_export.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

using namespace ombrix;

namespace
{

class ImageWriters : public testing::Test
{
protected:
    std::string path(const std::string& name) const
    {
        return dir.filePath(QString::fromStdString(name)).toStdString();
    }
    QByteArray contents(const std::string& name) const
    {
        QFile f(QString::fromStdString(path(name)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir dir;
};

// Distinct channels that change along both axes, and bands as a gradient
// has them (runs of one colour that the PNG filters turn into zeros).
QImage picture(int w, int h, QImage::Format format = QImage::Format_RGB32)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 37 + y) & 255, (y * 3 / 2) & 255, (x / 5 + 91) & 255));
    return img.convertToFormat(format);
}

} // namespace

TEST_F(ImageWriters, BitmapAndJpegFromRowsEqualTheFilesFromTheBlock)
{
    // 1 x 1; 7 x 5, whose rows are padded; 700 x 600, more than one batch
    // of rows; and a picture in another pixel format.
    const QImage pictures[] = {picture(1, 1), picture(7, 5), picture(700, 600),
                               picture(33, 17, QImage::Format_RGB888)};
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
        picture(1, 1),   picture(2, 3),     picture(7, 5),
        picture(1, 300), picture(700, 600), picture(40, 9, QImage::Format_ARGB32_Premultiplied)};
    for (const QImage& img : pictures) {
        SCOPED_TRACE(testing::Message() << img.width() << "x" << img.height());
        ASSERT_TRUE(saveImage(img, path("a.png"), 100).ok);
        QImageReader reader(QString::fromStdString(path("a.png")));
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
