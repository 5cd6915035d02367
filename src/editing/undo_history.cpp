// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/undo_history.h"

#include <algorithm>
#include <utility>

namespace ombrix
{

namespace
{

// A shot holds everything that defines the picture: the whole record but
// the window's place, the rainbow choices (derived again from pnRainbow),
// the fifth text style switch and the text set offsets, which keep the
// values the target has.  A field added to the record is part of a shot
// unless it is named here.
void copyShotFields(const ImageParams& from, ImageParams& to)
{
    ImageParams next = from;
    next.pnImageLeft = to.pnImageLeft;
    next.pnImageTop = to.pnImageTop;
    next.pnRainbowPalette = to.pnRainbowPalette;
    next.pnRainbowInverse = to.pnRainbowInverse;
    for (size_t t = 0; t < kTextSlots; ++t)
        next.pnTextStyle[t][4] = to.pnTextStyle[t][4];
    next.pnHighlightOffset = to.pnHighlightOffset;
    next.pnShadowOffset = to.pnShadowOffset;
    to = std::move(next);
}

} // namespace

void UndoHistory::mPushShot(const ImageParams& p)
{
    const int k = pnShotPointer;
    pnShots = static_cast<Integer>(std::clamp(pnShots - k + 1, 0, int{kMaxShots}));
    if (k == 0) {
        for (int i = kShotSlots - 2; i >= 0; --i)
            slots_[static_cast<size_t>(i + 1)] = slots_[static_cast<size_t>(i)];
    } else if (k >= 2) {
        for (int i = k; i < kShotSlots; ++i)
            slots_[static_cast<size_t>(i - k + 1)] = slots_[static_cast<size_t>(i)];
    }
    copyShotFields(p, slots_[0]);
    pnShotPointer = 0;
}

void UndoHistory::reset(const ImageParams& p)
{
    pnShotPointer = 0;
    mPushShot(p);
    pnShots = 0;
}

void UndoHistory::mRestoreShot(ImageParams& p) const
{
    if (pnShotPointer < 0 || pnShotPointer >= kShotSlots)
        return;
    copyShotFields(slots_[static_cast<size_t>(pnShotPointer)], p);
    p.deriveRainbowChoices();
    // The offsets follow the restored positions, as after reading a file;
    // kept from before, they would move a set's copies to where they were.
    p.recomputeTextOffsets();
}

bool UndoHistory::stepBack()
{
    const Integer before = pnShotPointer;
    pnShotPointer = std::min<Integer>(static_cast<Integer>(pnShotPointer + 1), pnShots);
    return pnShotPointer != before;
}

bool UndoHistory::stepForward()
{
    const Integer before = pnShotPointer;
    pnShotPointer = std::max<Integer>(static_cast<Integer>(pnShotPointer - 1), 0);
    return pnShotPointer != before;
}

} // namespace ombrix
