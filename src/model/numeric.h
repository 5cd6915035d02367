// SPDX-License-Identifier: GPL-3.0-or-later
// The arithmetic rules of the whole program, in one place.
//
// Ombrix's image model was defined with 16-bit Integers that fail on overflow
// instead of wrapping, 32-bit Longs, 32-bit Singles, conversions that round
// halves to the even neighbour and integer division that truncates toward
// zero.  Every renderer, model and codec uses these helpers so that "round"
// and "cint" mean the same thing everywhere; nobody re-derives them.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

namespace ombrix
{

using Integer = std::int16_t; // 16-bit signed; leaving its range is an error
using Long = std::int32_t;    // 32-bit signed
using Single = float;         // 32-bit float

// A run-time arithmetic error.  Renderers let it propagate; the render
// dispatch catches it (and nothing else) and ends only that renderer.
class ArithmeticError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class OverflowError : public ArithmeticError
{
public:
    OverflowError() : ArithmeticError("overflow") {}
};

class DivisionByZeroError : public ArithmeticError
{
public:
    DivisionByZeroError() : ArithmeticError("division by zero") {}
};

namespace num
{

// Nearest integer as a double, halves to the even neighbour (2.5 -> 2,
// 3.5 -> 4, -2.5 -> -2).  Independent of the floating-point rounding mode.
inline double roundHalfEven(double x)
{
    if (!std::isfinite(x))
        return x;
    const double f = std::floor(x);
    const double d = x - f;
    if (d > 0.5)
        return f + 1.0;
    if (d < 0.5)
        return f;
    return std::fmod(f, 2.0) == 0.0 ? f : f + 1.0;
}

// Conversion of a fraction to an Integer: rounds halves to even, and a result
// outside -32768..32767 (or a NaN) is an overflow.
inline Integer cint(double x)
{
    const double r = roundHalfEven(x);
    if (!(r >= -32768.0 && r <= 32767.0))
        throw OverflowError();
    return static_cast<Integer>(r);
}

// Conversion of a fraction to a Long, same rules on the 32-bit range.
inline Long clng(double x)
{
    const double r = roundHalfEven(x);
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        throw OverflowError();
    return static_cast<Long>(r);
}

// A whole number held to the Integer range, the nearest end for values
// beyond it: for results of wider arithmetic that are stored in an Integer
// field where an overflow must not stop the program (a position far off).
inline Integer clampInteger(long long v)
{
    return static_cast<Integer>(v < -32768 ? -32768 : (v > 32767 ? 32767 : v));
}

// Integer division truncating toward zero (the "\" operator); a zero divisor
// is an error, never undefined behaviour.
inline Long idiv(Long a, Long b)
{
    if (b == 0)
        throw DivisionByZeroError();
    if (a == std::numeric_limits<Long>::min() && b == -1)
        throw OverflowError();
    return a / b; // C++ already truncates toward zero
}

// Floating division that fails on a zero divisor, as the run time does.
inline double fdiv(double a, double b)
{
    if (b == 0.0)
        throw DivisionByZeroError();
    return a / b;
}

// floor() of a fraction as a Long (the pen width rule uses it).
inline Long floorLong(double x)
{
    const double f = std::floor(x);
    if (!(f >= -2147483648.0 && f <= 2147483647.0))
        throw OverflowError();
    return static_cast<Long>(f);
}

inline int sgn(double x)
{
    return (x > 0) - (x < 0);
}

// Colour packed for drawing: red + 256 * green + 65536 * blue.
using Rgb = std::uint32_t;

// A component outside 0..255 is taken as the nearest end of that range, so a
// damaged colour can never bleed into a neighbouring channel.
inline Rgb rgb(Long r, Long g, Long b)
{
    auto c = [](Long v) { return static_cast<Rgb>(v < 0 ? 0 : (v > 255 ? 255 : v)); };
    return c(r) | (c(g) << 8) | (c(b) << 16);
}
inline int redOf(Rgb c)
{
    return static_cast<int>(c & 0xFF);
}
inline int greenOf(Rgb c)
{
    return static_cast<int>((c >> 8) & 0xFF);
}
inline int blueOf(Rgb c)
{
    return static_cast<int>((c >> 16) & 0xFF);
}

// Keeps each colour component in 0..255.
inline void clampRgb(Long& r, Long& g, Long& b)
{
    auto clamp = [](Long& c) {
        if (c < 0)
            c = 0;
        if (c > 255)
            c = 255;
    };
    clamp(r);
    clamp(g);
    clamp(b);
}

} // namespace num
} // namespace ombrix
