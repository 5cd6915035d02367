// SPDX-License-Identifier: GPL-3.0-or-later
// The texts the program explains itself with: the hints and the help pages.
#pragma once

#include <string>

namespace ombrix
{

constexpr int kHintCount = 6;

// The hint's lines joined with CR LF; blank for a hint without text.
std::string hintText(int index);

// Whether the hint's do-not-show box may be used.
bool hintSwitchable(int index);

// Help pages, as HTML: 0 is the index; 9, 10, 11 and 13 the topics of the
// image size, text, borders and JPEG quality dialogs.  Unknown numbers give
// the index.
std::string helpPage(int context);

} // namespace ombrix
