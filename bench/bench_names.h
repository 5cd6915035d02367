// SPDX-License-Identifier: GPL-3.0-or-later
// Names the benchmarks share.
#pragma once

#include "model/image_params.h"

#include <string>

namespace ombrix::bench
{

// "Shaded Ellipse" -> "ShadedEllipse", so that names stay one word for
// --benchmark_filter.
inline std::string patternName(int pattern)
{
    std::string name;
    for (const char* c = kPatternNames[static_cast<size_t>(pattern)]; *c; ++c)
        if (*c != ' ')
            name += *c;
    return name;
}

} // namespace ombrix::bench
