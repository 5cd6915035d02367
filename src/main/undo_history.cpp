#include "main/undo_history.h"

#include <algorithm>

namespace ombrix
{

namespace
{

// Copies the fields a shot holds.  Colour components are stored as
// Integers; they are 0..255 after every path that writes them.
void copyShotFields(const ImageParams& from, ImageParams& to)
{
    to.pnImageWidth = from.pnImageWidth;
    to.pnImageHeight = from.pnImageHeight;
    to.pnPattern = from.pnPattern;
    to.pnRotation = from.pnRotation;
    to.pnSlantRate = from.pnSlantRate;
    to.pnVerOrgOffset = from.pnVerOrgOffset;
    to.pnHump = from.pnHump;
    to.pnHorRep = from.pnHorRep;
    to.pnVerRep = from.pnVerRep;
    to.pnRainbow = from.pnRainbow;
    for (size_t c = 0; c < kColors; ++c)
        for (size_t k = 0; k < 3; ++k)
            to.plColor[c][k] = num::cint(static_cast<double>(from.plColor[c][k]));
    for (size_t t = 0; t < kTextSlots; ++t) {
        to.psText[t] = from.psText[t];
        to.psTextFont[t] = from.psTextFont[t];
        to.pnTextSize[t] = from.pnTextSize[t];
        to.pnTextLeft[t] = from.pnTextLeft[t];
        to.pnTextTop[t] = from.pnTextTop[t];
        for (size_t k = 0; k < 3; ++k)
            to.plTextColor[t][k] = num::cint(static_cast<double>(from.plTextColor[t][k]));
        for (size_t s = 0; s < 4; ++s)
            to.pnTextStyle[t][s] = from.pnTextStyle[t][s];
    }
    for (size_t b = 0; b < kBorders; ++b) {
        to.pnBorderSize[b] = from.pnBorderSize[b];
        for (size_t k = 0; k < 3; ++k)
            to.plBorderColor[b][k] = num::cint(static_cast<double>(from.plBorderColor[b][k]));
    }
}

} // namespace

void UndoHistory::mPushShot(const ImageParams& p)
{
    const int k = pnShotPointer;
    pnShots = static_cast<Integer>(std::clamp(pnShots - k + 1, 0, int{kMaxShots}));
    if (k == 0) {
        for (int i = kShotSlots - 2; i >= 0; --i)
            mSlots[static_cast<size_t>(i + 1)] = mSlots[static_cast<size_t>(i)];
    } else if (k >= 2) {
        for (int i = k; i < kShotSlots; ++i)
            mSlots[static_cast<size_t>(i - k + 1)] = mSlots[static_cast<size_t>(i)];
    }
    copyShotFields(p, mSlots[0]);
    pnShotPointer = 0;
}

void UndoHistory::mRestoreShot(ImageParams& p) const
{
    if (pnShotPointer < 0 || pnShotPointer >= kShotSlots)
        return;
    copyShotFields(mSlots[static_cast<size_t>(pnShotPointer)], p);
    p.deriveRainbowChoices();
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
