// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/wallpaper_commands.h"

#include "ui/common/prompter.h"
#include "ui/main/commands.h"
#include "ui/picture/frm_picture.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>

#include <algorithm>
#include <cctype>

namespace ombrix
{

namespace
{

constexpr const char* kCaptions[] = {"Tile", "Center", "Stretch", "-"};

bool containsNoCase(const std::string& text, const std::string& part)
{
    const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

} // namespace

WallpaperCommands::WallpaperCommands(CommandHost& host, Prompter& prompter, QWidget* menuParent)
    : host_(host), prompter_(prompter)
{
    mnuWall = new QMenu("Wall", menuParent);
    mnuWall->setObjectName("mnuWall");
    for (int i = 0; i < 4; ++i) {
        QAction* a = i == 3 ? mnuWall->addSeparator() : mnuWall->addAction(kCaptions[i]);
        a->setObjectName(QString("mnuSetWallpaperArray%1").arg(i));
        a->setCheckable(i < 3);
        QObject::connect(a, &QAction::triggered, mnuWall,
                         [this, i] { mnuSetWallpaperArray_Click(i); });
        mnuSetWallpaperArray[static_cast<size_t>(i)] = a;
    }
    mnuRestoreWallpaper = mnuWall->addAction("Restore");
    mnuRestoreWallpaper->setObjectName("mnuRestoreWallpaper");
    QObject::connect(mnuRestoreWallpaper, &QAction::triggered, mnuWall,
                     [this] { mnuRestoreWallpaper_Click(); });
    // A disabled item's tooltip is the only place its reason shows.
    mnuWall->setToolTipsVisible(true);
    QObject::connect(mnuWall, &QMenu::aboutToShow, mnuWall, [this] { updateAvailability(); });
}

WallpaperCommands::~WallpaperCommands() = default;

void WallpaperCommands::mGetWallPaperKeys(std::unique_ptr<WallpaperBackend> backend)
{
    backend_ = std::move(backend);
    const WallpaperResult read = backend_->readCurrent();
    readFailure_ = read.ok ? std::string() : read.message;
    const DesktopValues v = backend_->values();
    psOrgWallpaper = v.wallpaper;
    psOrgTileWallpaper = v.tile;
    psOrgWallpaperStyle = v.style;
    item(2)->setVisible(read.ok && backend_->canStretch());
    checkFrom(psOrgTileWallpaper, psOrgWallpaperStyle, true);
    updateAvailability();
}

// A back end's reason may speak of "the desktop" only; the user must learn
// which session was found to know whether it is the one they meant.
std::string WallpaperCommands::namingSession(const std::string& why) const
{
    if (why.empty() || !backend_)
        return why;
    // The refusing back end ("this session") words its reasons around the
    // session it found already.
    const std::string name = backend_->desktopName();
    if (name.empty() || name.rfind("this ", 0) == 0 || containsNoCase(why, name))
        return why;
    return "Wallpaper through " + name + ": " + why;
}

std::string WallpaperCommands::whyCannotApply() const
{
    if (!backend_)
        return "The desktop's wallpaper settings were not read at start-up.";
    return namingSession(backend_->whyCannotApply());
}

std::string WallpaperCommands::whyCannotRestore() const
{
    if (!backend_ || !readFailure_.empty())
        return namingSession(
            "The wallpaper found at start-up could not be read, so it cannot be put back." +
            (readFailure_.empty() ? std::string() : "\n" + readFailure_));
    // Where nothing can be set, nothing can be put back either.
    if (std::string why = backend_->whyCannotApply(); !why.empty())
        return namingSession(why);
    return namingSession(backend_->whyCannotRestore());
}

// As a paragraph, so that a long reason wraps instead of running across the
// screen over the menu it explains.
static QString tipParagraph(const std::string& why)
{
    if (why.empty())
        return {};
    return "<p>" + QString::fromStdString(why).toHtmlEscaped().replace('\n', "<br>") + "</p>";
}

void WallpaperCommands::updateAvailability()
{
    const std::string apply = whyCannotApply();
    for (int i = 0; i < 3; ++i) {
        item(i)->setEnabled(apply.empty());
        item(i)->setToolTip(tipParagraph(apply));
    }
    const std::string restore = whyCannotRestore();
    mnuRestoreWallpaper->setEnabled(restore.empty());
    mnuRestoreWallpaper->setToolTip(tipParagraph(restore));
}

void WallpaperCommands::checkItem(int index)
{
    checked_ = index;
    for (int i = 0; i < 3; ++i)
        item(i)->setChecked(i == index);
}

// The start-up test lets a missing style ("Err") stand for "0"; Restore's
// does not.
void WallpaperCommands::checkFrom(const std::string& tile, const std::string& style, bool errCounts)
{
    const bool plain = style == "0" || (errCounts && style == kErr);
    if (plain && tile == "1")
        checkItem(0);
    else if (plain && tile == "0")
        checkItem(1);
    else if (style == "2")
        checkItem(2);
    else
        checkItem(-1);
}

void WallpaperCommands::tell(const std::string& message)
{
    prompter_.ask(host_.dialogParent(), " Ombrix", QString::fromStdString(message), Buttons::Ok,
                  Icon::Exclamation);
}

void WallpaperCommands::popup(const QPoint& globalPos)
{
    mnuWall->popup(globalPos);
}

void WallpaperCommands::mnuSetWallpaperArray_Click(int index)
{
    if (index < 0 || index > 2)
        return; // the separator
    // The mark stays where it was until the desktop has taken the choice
    // (the click itself has already toggled the item).
    checkItem(checked_);
    std::string tile, style;
    arrangementStrings(static_cast<Arrangement>(index), tile, style);
    if (mSetWallpaper(tile, style))
        checkItem(index);
}

void WallpaperCommands::mnuRestoreWallpaper_Click()
{
    mRestoreWallPaper();
}

bool WallpaperCommands::mSetWallpaper(const std::string& sTile, const std::string& sStyle)
{
    // The texts go into a copy, never into the shown picture, so setting the
    // wallpaper twice does not print them twice.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QImage image = host_.picture().exportImage();
    const WallpaperFile file = writeWallpaperFile(image, folder);
    QApplication::restoreOverrideCursor();
    if (!file.ok) {
        tell("The wallpaper file could not be written: " + file.message +
             "\nThe desktop keeps its wallpaper.");
        return false;
    }
    if (!mApplyWallpaper(file.path, sTile, sStyle)) {
        // Not in force, so not needed; the desktop still shows its own file.
        QFile::remove(QFile::decodeName(file.path.c_str()));
        return false;
    }
    removeOldWallpapers(folder, file.path, {psOrgWallpaper});
    return true;
}

bool WallpaperCommands::mApplyWallpaper(const std::string& sFile, const std::string& sTile,
                                        const std::string& sStyle)
{
    Arrangement a = Arrangement::Tile;
    if (!arrangementOf(sTile, sStyle, a))
        return false;
    // Said before anything is tried, as the disabled item's tooltip says it.
    if (const std::string why = whyCannotApply(); !why.empty()) {
        tell(why);
        return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const WallpaperResult r = backend_->apply(sFile, a);
    QApplication::restoreOverrideCursor();
    // On success the message, if any, is what the user must know to keep
    // the change (sway forgets it at its next reload, swaybg at logout).
    if (!r.message.empty())
        tell(r.ok ? r.message : namingSession(r.message));
    return r.ok;
}

bool WallpaperCommands::mRestoreWallPaper()
{
    if (const std::string why = whyCannotRestore(); !why.empty()) {
        tell(why);
        return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const WallpaperResult r = backend_->restore();
    QApplication::restoreOverrideCursor();
    if (!r.ok) {
        tell(namingSession(r.message));
        return false;
    }
    checkFrom(psOrgTileWallpaper, psOrgWallpaperStyle, false);
    removeOldWallpapers(folder, std::string(), {psOrgWallpaper});
    return true;
}

} // namespace ombrix
