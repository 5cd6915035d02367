// SPDX-License-Identifier: GPL-3.0-or-later
// The undo history: up to 21 shots of the image parameters, slot 0 the
// newest.  A shot keeps what defines the picture; the window's position,
// the derived rainbow choices, text style switch 4 and the text offsets
// are not part of it.
#pragma once

#include "model/image_params.h"

#include <array>

namespace ombrix
{

constexpr int kShotSlots = 21;
constexpr Integer kMaxShots = 20;

class UndoHistory
{
public:
    // How many steps back are possible, and the slot in force (0 = newest).
    Integer shots() const { return pnShots; }
    Integer pointer() const { return pnShotPointer; }

    // Starts the history afresh at p: p is the state in force and there is
    // nothing to undo or redo (start-up, an opened file).
    void reset(const ImageParams& p);

    // Stores p as the newest shot, dropping the redo steps.
    void mPushShot(const ImageParams& p);

    // Copies the shot at pnShotPointer into p (fields outside a shot stay).
    void mRestoreShot(ImageParams& p) const;

    bool canUndo() const { return pnShotPointer != pnShots; }
    bool canRedo() const { return pnShotPointer != 0; }

    // One step back or forward; false when there was none to take.
    bool stepBack();
    bool stepForward();

    const ImageParams& slot(int i) const { return slots_.at(static_cast<size_t>(i)); }

private:
    Integer pnShots = 0;
    Integer pnShotPointer = 0;
    std::array<ImageParams, kShotSlots> slots_{};
};

} // namespace ombrix
