// The image size dialog's arithmetic: numbers read as the fields read them,
// the ratio rules, and the six checks of OK in their order.
#include "main/image_size_rules.h"

#include <gtest/gtest.h>

namespace ombrix
{

TEST(ImageSizeRules, FieldsReadTheirLeadingNumber)
{
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"300", 300}, {"  42px", 42}, {"1.5", 1.5}, {"-7", -7},   {"2e3", 2000},
        {"3e", 3},    {"abc", 0},     {"", 0},      {"   ", 0},   {".", 0},
        {"inf", 0},   {"nan", 0},     {"0x10", 0},  {"1e999", 0}, {"12.5.3", 12.5},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(ImageSizeRules, TheRatioKeepsTheOtherField)
{
    // Results round halves to even: 250 / 4 = 62.5 gives 62.
    const struct {
        const char *width, *ratio, *height;
    } heights[] = {
        {"300", "1.5", "200"},
        {"250", "4", "62"},
        {"270", "4", "68"},
        {"abc", "2", "0"},
        {"1e300", "1e-300", "999999999"},
    };
    for (const auto& c : heights)
        EXPECT_EQ(heightForWidth(c.width, c.ratio).value_or("unchanged"), c.height)
            << c.width << " / " << c.ratio;
    // A ratio that reads as 0 leaves the height alone ...
    for (const char* ratio : {"0", "", "x", "0.0"})
        EXPECT_FALSE(heightForWidth("300", ratio).has_value()) << '"' << ratio << '"';
    // ... and makes a typed height give a width of 0, which OK refuses.
    EXPECT_EQ(widthForHeight("100", "1.5"), "150");
    EXPECT_EQ(widthForHeight("101", "0.5"), "50"); // 50.5 to the even neighbour
    EXPECT_EQ(widthForHeight("100", ""), "0");
}

TEST(ImageSizeRules, OkChecksInOrderWithTheirMessages)
{
    SizeLimits screen; // a 1024 x 768 screen, three repetitions across
    screen.screenWidth = 1024;
    screen.screenHeight = 768;
    screen.horRep = 3;
    screen.verRep = 2;
    const struct {
        const char *width, *height, *message;
    } cases[] = {
        {" ", "", "Enter image width."},
        {"100", "  ", "Enter image height."},
        {"975", "", "Enter image height."}, // blank fields come first
        {"975", "719", "The image width is too large."},
        {"974", "719", "The image height is too large."},
        {"35", "24", "The image width is too small."}, // 12 x 3 = 36
        {"abc", "24", "The image width is too small."},
        {"36", "23", "The image height is too small."},
        {"-40", "50", "The image width is too small."},
        {"35.5", "24", "The image width is too small."},
        {"36", "24", ""},
        {"974", "718", ""}, // the largest the screen allows
    };
    for (const auto& c : cases) {
        const SizeCheck r = checkImageSize(c.width, c.height, screen);
        EXPECT_EQ(r.message, c.message) << c.width << " x " << c.height;
        EXPECT_EQ(r.ok, *c.message == '\0');
    }
    const SizeCheck r = checkImageSize("36.5", "24.5", screen);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.width, 36);
    EXPECT_EQ(r.height, 24);

    // A 4K screen scaled by 2 counts its device pixels, not its 1920 x 1080
    // logical ones.
    SizeLimits uhd;
    uhd.screenWidth = 3840;
    uhd.screenHeight = 2160;
    EXPECT_TRUE(checkImageSize("3790", "2110", uhd).ok);
    EXPECT_EQ(checkImageSize("3791", "2110", uhd).message, "The image width is too large.");
}

} // namespace ombrix
