// SPDX-License-Identifier: GPL-3.0-or-later
// The image size dialog's arithmetic: numbers read as the fields read them,
// the ratio rules, and the six checks of OK in their order.
#include "editing/image_size_rules.h"

#include <gtest/gtest.h>

namespace ombrix
{

TEST(ImageSizeRules, FieldsRatioAndChecks)
{
    const std::pair<const char*, double> numbers[] = {
        {"  42px", 42}, {"1.5", 1.5}, {"-7", -7}, {"2e3", 2000}, {"3e", 3},    {"abc", 0},
        {"", 0},        {".", 0},     {"inf", 0}, {"0x10", 0},   {"1e999", 0}, {"12.5.3", 12.5}};
    for (const auto& [text, value] : numbers)
        EXPECT_DOUBLE_EQ(leadingNumber(text), value) << '"' << text << '"';

    // Halves round to even: 250 / 4 = 62.5 gives 62; 101 x 0.5 gives 50.
    EXPECT_EQ(heightForWidth("250", "4").value_or("-"), "62");
    EXPECT_EQ(heightForWidth("1e300", "1e-300").value_or("-"), "999999999");
    EXPECT_FALSE(heightForWidth("300", "x").has_value()) << "a ratio of 0 leaves the height";
    EXPECT_EQ(widthForHeight("101", "0.5"), "50");
    EXPECT_EQ(widthForHeight("100", ""), "0");

    // A 1024 x 768 screen, three repetitions across and two down.
    const SizeLimits screen{1024, 768, 3, 2, 12};
    const char* const cases[][3] = {
        {" ", "", "Enter image width."},
        {"975", "", "Enter image height."},
        {"975", "719", "The image width is too large."},
        {"974", "719", "The image height is too large."},
        {"35.5", "24", "The image width is too small."},
        {"abc", "24", "The image width is too small."},
        {"36", "23", "The image height is too small."},
        {"974", "718", ""},
    };
    for (const auto& [width, height, message] : cases)
        EXPECT_EQ(checkImageSize(width, height, screen).message, message) << width << "x" << height;
    const SizeCheck ok = checkImageSize("36.5", "24.5", screen);
    EXPECT_TRUE(ok.ok && ok.width == 36 && ok.height == 24);
    // A 4K screen scaled by 2 counts its device pixels.
    EXPECT_TRUE(checkImageSize("3790", "2110", SizeLimits{3840, 2160, 1, 1, 12}).ok);
}

} // namespace ombrix
