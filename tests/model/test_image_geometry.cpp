// SPDX-License-Identifier: GPL-3.0-or-later
// The one rule by which a parameter file's window geometry means an image
// size, on a table of files: written by this program at several scales, by
// `params`, by earlier builds under different window managers, and made by
// hand at the limits.  Each file goes through the real encoder and reader.
#include "io/param_file.h"
#include "model/image_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

namespace ombrix
{
namespace
{

// The record as a file holding these stored sides (twips) reads it back.
ImageParams throughAFile(Long width, Long height)
{
    ImageModel m;
    m.mSetDefaults(3);
    m.params.pnImageWidth = width;
    m.params.pnImageHeight = height;
    const std::vector<std::uint8_t> bytes = encodeParams(m.params);
    ImageParams read;
    EXPECT_TRUE(decodeParams(bytes.data(), bytes.size(), read).ok);
    return read;
}

TEST(ImageGeometry, EveryKindOfFileMeansOneImageSize)
{
    struct Row {
        const char* file;
        Long width, height; // stored twips
        ImageSize image;    // logical pixels
    };
    const Row rows[] = {
        // This program stores the image plus 2 x 25 pixels at 15 twips each
        // (whatever it stores reads back as itself: the next test).  Earlier
        // builds stored the frame they measured.  Under openbox it was this
        // allowance, so their images come back exactly; without a window
        // manager there was none, and the image comes back 2 x 25 smaller;
        // `params` stored no window at all.
        {"earlier build, openbox, 260 x 200", 3930, 3375, {260, 200}},
        {"earlier build, openbox, 800 x 500", 12030, 7875, {800, 500}},
        {"earlier build, bare X server, 260 x 200", 3900, 3000, {258, 175}},
        {"earlier build, params", 0, 0, {260, 200}},
        // Made by hand: not a whole number of pixels, inside the allowance,
        // a side of 0 beside a real one, the largest unsigned values.
        {"twips between two pixels", 3937, 3382, {260, 200}},
        {"twips between two pixels, upper half", 3938, 3383, {261, 201}},
        {"one twip", 1, 1, {1, 1}},
        {"exactly the allowance", 30, 375, {1, 1}},
        {"no width", 0, 3375, {260, 200}},
        {"no height", 3930, 0, {260, 200}},
        {"the largest the field holds", 65535, 65535, {4367, 4344}},
        {"the unsigned fixture width", 40000, 9000, {2665, 575}},
    };
    for (const Row& r : rows) {
        const ImageParams read = throughAFile(r.width, r.height);
        EXPECT_EQ(read.pnImageWidth, r.width) << r.file << ": the layout keeps the bytes";
        const ImageSize got = storedImageSize(read);
        EXPECT_TRUE(got == r.image) << r.file << ": " << got.width << " x " << got.height;
        // Stored again, every image size reads back as itself.
        ImageParams again = read;
        storeImageSize(again, got);
        EXPECT_TRUE(storedImageSize(throughAFile(again.pnImageWidth, again.pnImageHeight)) == got)
            << r.file;
    }
}

TEST(ImageGeometry, EverySizeTheFieldCanHoldSurvivesAndTheRestIsHeld)
{
    for (int side = 1; side <= kMaxStoredImageWidth; ++side) {
        ImageParams p;
        storeImageSize(p, {side, std::min(side, kMaxStoredImageHeight)});
        ASSERT_LE(p.pnImageWidth, kMaxStoredTwips);
        const ImageSize back = storedImageSize(p);
        ASSERT_EQ(back.width, side);
        ASSERT_EQ(back.height, std::min(side, kMaxStoredImageHeight));
    }
    // Sizes the field cannot carry are held, never wrapped into a small one.
    const std::pair<ImageSize, ImageSize> held[] = {
        {{0, 0}, {1, 1}},
        {{-5, -40000}, {1, 1}},
        {{5000, 5000}, {kMaxStoredImageWidth, kMaxStoredImageHeight}},
        {{std::numeric_limits<int>::max(), 7}, {kMaxStoredImageWidth, 7}},
    };
    for (const auto& [asked, kept] : held) {
        ImageParams p;
        storeImageSize(p, asked);
        EXPECT_TRUE(p.pnImageWidth > 0 && p.pnImageWidth <= kMaxStoredTwips &&
                    p.pnImageHeight > 0 && p.pnImageHeight <= kMaxStoredTwips);
        EXPECT_TRUE(storedImageSize(p) == kept) << asked.width << " x " << asked.height;
    }
    // A record built in memory may hold more than a file can.
    ImageParams wide;
    wide.pnImageWidth = 1000000;
    wide.pnImageHeight = -3;
    EXPECT_TRUE(storedImageSize(wide) == (ImageSize{kMaxStoredImageWidth, kDefaultImageHeight}));
}

TEST(ImageGeometry, ParamsPlacesTheNewWindowOnTheScreen)
{
    struct Row {
        ImageSize size;
        ScreenArea screen;
        int left, top; // logical pixels of the stored place
    };
    const Row rows[] = {
        {{260, 200}, {}, 30, 0},                          // no screen known: a fresh window's place
        {{260, 200}, {0, 0, 1280, 1024}, 30, 0},          // room enough
        {{1270, 200}, {0, 0, 1280, 1024}, 8, 0},          // moved in from the right edge
        {{2000, 1500}, {0, 0, 1280, 1024}, 0, 0},         // larger than the screen: top left on it
        {{260, 200}, {1920, 40, 1280, 1024}, 1950, 40},   // a second screen, a panel on top
        {{400, 1000}, {0, 0, 1280, 1000}, 30, 0},         // the title bar never leaves the top
        {{4367, 4344}, {-1280, 0, 1280, 1024}, -1280, 0}, // the largest image, a screen left of 0
    };
    for (const Row& r : rows) {
        ImageParams p;
        storeNewImageGeometry(p, r.size, r.screen);
        EXPECT_TRUE(storedImageSize(p) == r.size);
        EXPECT_EQ(storedImageLeft(p), r.left) << r.size.width << " on " << r.screen.width;
        EXPECT_EQ(storedImageTop(p), r.top);
        EXPECT_EQ(p.pnImageLeft, r.left * kFileTwipsPerPixel);
    }
    // A place far off is held to the field, not wrapped.
    ImageParams far;
    storeImagePlace(far, 100000, -100000);
    EXPECT_EQ(far.pnImageLeft, 32767);
    EXPECT_EQ(far.pnImageTop, -32768);
}

TEST(ImageGeometry, DeviceSizesAtEachScale)
{
    const std::tuple<ImageSize, double, ImageSize> rows[] = {
        {{260, 200}, 1.0, {260, 200}},
        {{260, 200}, 2.0, {520, 400}},
        {{261, 201}, 1.5, {392, 302}}, // 391.5 and 301.5 round up, as Qt sizes a window
        {{1, 1}, 1.25, {1, 1}},
        {{1, 1}, 1.5, {2, 2}},
        {{100, 50}, 4.0, {400, 200}},
        {{100, 50}, 9.0, {400, 200}}, // held to 4
        {{100, 50}, 0.5, {100, 50}},  // held to 1
        {{100, 50}, std::nan(""), {100, 50}},
        {{4367, 4344}, 4.0, {17468, 17376}},
    };
    for (const auto& [logical, scale, device] : rows)
        EXPECT_TRUE(deviceImageSize(logical, scale) == device)
            << logical.width << " at " << scale << ": " << deviceImageSize(logical, scale).width;
    EXPECT_EQ(toDeviceLength(-3, 1.5), -5); // positions left of the image, away from zero too
}

} // namespace
} // namespace ombrix
