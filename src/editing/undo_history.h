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
    Integer pnShots = 0;       // how many steps back are possible
    Integer pnShotPointer = 0; // the slot in force, 0 = newest

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
    std::array<ImageParams, kShotSlots> slots_{};
};

} // namespace ombrix
