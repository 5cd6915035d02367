// SPDX-License-Identifier: GPL-3.0-or-later
// The wallpaper tests' picture and files.
#pragma once

#include "wallpaper/wallpaper.h"

#include <QFile>
#include <QImage>

namespace ombrix::test
{

// Every pixel tells the size the picture was drawn at and differs from its
// neighbours, so a picture drawn at the wrong size, or a flipped, shifted or
// swapped layout, shows.  A monitor's picture is one at its size.
inline QImage drawAt(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 7 + w) % 256, (y * 5 + h) % 256, (x ^ y) % 256));
    return img;
}

inline QImage atItsSize(const Monitor& m)
{
    return drawAt(m.width, m.height);
}

// True when `name` now holds `bytes` (an empty file when none are given).
inline bool writeFile(const QString& name, const QByteArray& bytes = {})
{
    QFile f(name);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The bytes `name` holds, none when it cannot be read.
inline QByteArray readFile(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace ombrix::test
