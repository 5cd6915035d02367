// SPDX-License-Identifier: GPL-3.0-or-later
// The memory of a large picture: its own mapping, in huge pages where the
// system gives them.
#pragma once

#include <QImage>

namespace ombrix
{

// A picture of that size (RGB32, not cleared).  From some megabytes on it
// gets memory of its own, asked for in huge pages: the first touch of a
// 33 MB picture otherwise takes some eight thousand page faults.  A null
// image when the size is empty or the memory cannot be had, as QImage
// itself reports it.
QImage newPicture(int width, int height);

} // namespace ombrix
