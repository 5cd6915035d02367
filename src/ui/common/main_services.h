// SPDX-License-Identifier: GPL-3.0-or-later
// What the other windows need from the main window, and nothing more: the
// hint dialog, the size display, the progress bar, the preview, the image
// window's popup menu and the news that a colour was edited.  The main
// window implements it; the image window, the colour tools and the dialogs
// see only this, so none of them depends on the main window.
#pragma once

#include "model/image_params.h"

#include <QObject>

class QPoint;
class QSize;

namespace ombrix
{

// Tells whoever listens that the colour picker changed the colour it edits,
// so that a dialog can show its swatches without the picker knowing it:
// connect to `edited`, and the connection ends with the listener.
class ColourEvents : public QObject
{
    Q_OBJECT
signals:
    void edited(ombrix::ColourTarget target);
};

class MainServices
{
public:
    virtual ~MainServices() = default;

    // Shows hint n unless the user switched it off (modal).
    virtual void mShowHint(int n) = 0;
    // Writes the image size into the status bar, and into the image
    // window's size label where it has room.
    virtual void mShowImageSize() = 0;
    // Hides the size display when it shows, shows it otherwise (the image
    // window's double click and the popup menu's item share it).
    virtual void toggleImageSize() = 0;
    // The window manager kept the image window at its own size, not at the
    // size asked for (device pixels): the user is told why the image has
    // another size.
    virtual void imageSizeRefused(QSize asked, QSize kept) = 0;
    // The progress bar, 0..100.
    virtual void mShowProgress(Single percent) = 0;
    // Redraws the preview of one tile.
    virtual void mDrawPreview() = 0;
    // The image window's popup menu at the given screen position.
    virtual void popupImageMenu(const QPoint& globalPos) = 0;
    // The colour picker stored a colour in its target: the main window
    // repaints what shows it and tells the listeners.
    virtual void colourEdited() = 0;
    virtual ColourEvents& colourEvents() = 0;
};

} // namespace ombrix
