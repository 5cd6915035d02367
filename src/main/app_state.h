// Everything the windows share: the image record with its editing values,
// the undo history, the palette, the settings and the window flags.  One
// object, owned by the application and handed to each window by reference,
// so that tests can build as many independent programs as they like.
#pragma once

#include "io/settings.h"
#include "main/palette.h"
#include "main/undo_history.h"
#include "model/image_params.h"

namespace ombrix
{

struct AppFlags {
    bool pbParamSaved = false; // a parameter file was saved in this run; never cleared
    bool pbPictureShown = false;
    bool pbColorWinShown = false;
    bool pbBorderDlgShown = false;
    bool pbRainbowWinShown = false;
    bool pbTextDlgShown = false;
    bool pbOpening = false;
    bool pbTextMode = false;
    bool pbTextEnabled = true;
    bool pbSizingPicture = false;
    bool pbFullSize = false;
    bool pbAspectHintToggle = false;
    bool pbPaletteEnabled = true;
};

struct AppState {
    ImageModel model;
    UndoHistory history;
    Palette palette;
    Settings settings;
    AppFlags flags;

    // What a window's frame adds to its client area, in twips.
    Single frameWidth = 0;
    Single frameHeight = 0;

    // The full-size picture in pixels, kept current by the image window.
    Integer pnPixelWidth = 260;
    Integer pnPixelHeight = 200;

    // Where the colour picker opens next, in twips.
    Single colorWinLeft = 0;
    Single colorWinTop = 0;

    Integer hintIndex = 0;

    ImageParams& p() { return model.params; }
    SharedValues& v() { return model.shared; }
};

} // namespace ombrix
