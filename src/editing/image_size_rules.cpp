// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/image_size_rules.h"

#include <cmath>
#include <cstdlib>

namespace ombrix
{

namespace
{

// Far beyond any screen (the checks of OK refuse it), and held there so that
// an absurd entry still gives a whole number a field can show.
constexpr double kLargestShown = 999999999.0;

bool blank(const std::string& text)
{
    return text.find_first_not_of(" \t") == std::string::npos;
}

} // namespace

double leadingNumber(const std::string& text)
{
    std::size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos)
        return 0;
    // Only a sign, digits, one point and an exponent take part, so strtod
    // never reads "inf", "nan" or hexadecimal numbers.
    std::string number;
    if (text[i] == '+' || text[i] == '-')
        number += text[i++];
    bool digits = false, point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digits = true;
            number += c;
        } else if (c == '.' && !point) {
            point = true;
            number += c;
        } else {
            break;
        }
    }
    if (!digits)
        return 0;
    if (i + 1 < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (text[j] == '+' || text[j] == '-')
            exponent += text[j++];
        if (j < text.size() && text[j] >= '0' && text[j] <= '9') {
            while (j < text.size() && text[j] >= '0' && text[j] <= '9')
                exponent += text[j++];
            number += exponent;
        }
    }
    const double value = std::strtod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : 0;
}

std::string pixelText(double value)
{
    if (std::isnan(value))
        value = 0;
    const double r = num::roundHalfEven(value);
    const double held =
        r > kLargestShown ? kLargestShown : (r < -kLargestShown ? -kLargestShown : r);
    return std::to_string(static_cast<long long>(held));
}

std::optional<std::string> heightForWidth(const std::string& width, const std::string& ratio)
{
    const double r = leadingNumber(ratio);
    if (r == 0)
        return std::nullopt;
    return pixelText(leadingNumber(width) / r);
}

std::string widthForHeight(const std::string& height, const std::string& ratio)
{
    return pixelText(leadingNumber(height) * leadingNumber(ratio));
}

SizeCheck checkImageSize(const std::string& width, const std::string& height,
                         const SizeLimits& limits)
{
    SizeCheck c;
    const double w = leadingNumber(width);
    const double h = leadingNumber(height);
    const auto tooLarge = [](double value, int screen) {
        return static_cast<Single>(value) > static_cast<Single>(screen - 50);
    };
    if (blank(width))
        c.message = "Enter image width.";
    else if (blank(height))
        c.message = "Enter image height.";
    else if (tooLarge(w, limits.screenWidth))
        c.message = "The image width is too large.";
    else if (tooLarge(h, limits.screenHeight))
        c.message = "The image height is too large.";
    else if (w < static_cast<double>(limits.minRepPixels) * limits.horRep)
        c.message = "The image width is too small.";
    else if (h < static_cast<double>(limits.minRepPixels) * limits.verRep)
        c.message = "The image height is too small.";
    if (!c.message.empty())
        return c;
    c.ok = true;
    c.width = num::clampInteger(static_cast<long long>(num::roundHalfEven(w)));
    c.height = num::clampInteger(static_cast<long long>(num::roundHalfEven(h)));
    return c;
}

} // namespace ombrix
