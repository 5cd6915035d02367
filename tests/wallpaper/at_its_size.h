// SPDX-License-Identifier: GPL-3.0-or-later
// The tests' pictures tell the size they were drawn at; a monitor's picture
// is one of them at the monitor's size.
#pragma once

#include "wallpaper/wallpaper.h"

namespace ombrix::test
{

inline DrawAtSize atItsSize(QImage (*draw)(int width, int height))
{
    return [draw](const Monitor& m) { return draw(m.width, m.height); };
}

} // namespace ombrix::test
