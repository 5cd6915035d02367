// SPDX-License-Identifier: GPL-3.0-or-later
// Everything the windows share: the image record with its editing values,
// the undo history, the palette, the settings and the window flags.  One
// object, owned by the application and handed to each window by reference,
// so that tests can build as many independent programs as they like.
#pragma once

#include "editing/palette.h"
#include "editing/undo_history.h"
#include "io/settings.h"
#include "model/image_params.h"

#include <string>

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
    bool pbAspectHintToggle = false;
    bool pbPaletteEnabled = true;
    // The shown picture already holds its texts (filled with the gradient),
    // so output must not draw them a second time.  Cleared by Show.
    bool pbTextsInPicture = false;
};

// The files of this run, chosen in the file dialogs; kept while the program
// runs (the folders persist as settings).
struct FileChoices {
    std::string psReadFile;   // the parameter file last opened
    std::string psSaveFile;   // the file last saved, parameters or image
    std::string psReadTitle;  // its name, offered by the open dialog
    std::string psParamTitle; // the name the parameter save dialog offers
    std::string psImageTitle; // the name of the image last saved
    std::string psParamFile;  // the parameter file the image was last read from or saved to
};

struct AppState {
    ImageModel model;
    UndoHistory history;
    Palette palette;
    Settings settings;
    AppFlags flags;
    FileChoices files;

    // The full-size picture in the screen's device pixels, kept current by
    // the image window.
    Integer pnPixelWidth = 260;
    Integer pnPixelHeight = 200;

    // Where the colour picker opens next, in twips.
    Single colourWinLeft = 0;
    Single colourWinTop = 0;

    Integer hintIndex = 0;

    ImageParams& p() { return model.params; }
    SharedValues& v() { return model.shared; }
};

} // namespace ombrix
