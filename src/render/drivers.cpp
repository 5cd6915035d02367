// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/drivers.h"

#include <algorithm>

namespace ombrix
{

void mDrawPreview(RenderContext& ctx, Surface& preview)
{
    preview.cls();
    Integer l, t, w, h;
    try {
        l = num::cint(preview.scaleLeft());
        t = num::cint(preview.scaleTop());
        w = num::cint(preview.scaleWidth());
        h = num::cint(preview.scaleHeight());
    } catch (const ArithmeticError&) {
        return;
    }
    mDrawPattern(ctx, preview, l, t, w, h);
    // The preview box paints the picture it holds without asking the
    // surface again.
    preview.finish();
}

void FullSizePictures::resize(int width, int height)
{
    picSrc.resize(width, height);
    picShow.resize(width, height);
}

namespace
{

// Copies the tile `src` (the top left of the picture as drawn) to every tile
// position of `dst`, row by row.  Each copy but the last of a row or column
// of tiles takes only its own tile: the next copy would cover the rest.  The
// last ones take what is left up to the picture's edge.
void copyTiles(const QImage& src, QImage& dst, const Long reps[2], Long tw, Long th)
{
    const Long cw = dst.width(), ch = dst.height();
    const Long sw = src.width(), sh = src.height();
    for (Long j = 1; j <= reps[1]; ++j) {
        const Long y = (j - 1) * th;
        const Long h = std::min({j == reps[1] ? ch : std::max<Long>(th, 0), ch - y, sh});
        for (Long r = 0; r < h; ++r) {
            const QRgb* from = reinterpret_cast<const QRgb*>(src.constScanLine(r));
            QRgb* to = reinterpret_cast<QRgb*>(dst.scanLine(y + r));
            for (Long i = 1; i <= reps[0]; ++i) {
                const Long x = (i - 1) * tw;
                const Long w = std::min({i == reps[0] ? cw : std::max<Long>(tw, 0), cw - x, sw});
                if (w > 0)
                    std::copy(from, from + w, to + x);
            }
        }
    }
}

} // namespace

void mTileImage(RenderContext& ctx, FullSizePictures& pics, Integer pixelWidth, Integer pixelHeight)
{
    const ImageParams& p = ctx.p;
    try {
        if (p.pnHorRep < 1 || p.pnVerRep < 1)
            return;
        const Integer tw = num::cint(static_cast<double>(pixelWidth) / p.pnHorRep);
        const Integer th = num::cint(static_cast<double>(pixelHeight) / p.pnVerRep);
        SpanSurface& show = pics.picShow;
        // The tile is drawn straight into picShow, as picSrc would hold it
        // (cleared to picSrc's background colour, which the plain
        // background sets and which is passed on to picSrc afterwards):
        // the copies then take it from there.  No second picture of the
        // whole size is touched.
        const num::Rgb showBack = show.backColor();
        show.keepBackColor(pics.picSrc.backColor());
        show.fill(pics.picSrc.backColor());
        mDrawPattern(ctx, show, 0, 0, tw, th);
        if (show.backColor() != pics.picSrc.backColor())
            pics.picSrc.setBackColor(show.backColor());
        show.keepBackColor(showBack);
        if (p.pnHorRep == 1 && p.pnVerRep == 1)
            return; // the one copy would change nothing
        // The copies read no further than one tile, or what the last row or
        // column of tiles takes up to the picture's edge; that much is kept
        // aside, since the copies write over it.
        const Long cw = show.width(), ch = show.height();
        const Long colsRead = std::min(cw, std::max<Long>(tw, cw - (p.pnHorRep - 1) * Long{tw}));
        const Long rowsRead = std::min(ch, std::max<Long>(th, ch - (p.pnVerRep - 1) * Long{th}));
        if (colsRead < 1 || rowsRead < 1)
            return;
        const QImage tile = show.imageRows(rowsRead).copy(0, 0, colsRead, rowsRead);
        // Every pixel of picShow is written by one copy or another.
        QImage& dst = show.imageForOverwrite();
        const Long reps[2] = {p.pnHorRep, p.pnVerRep};
        copyTiles(tile, dst, reps, tw, th);
    } catch (const ArithmeticError&) {
        // The picture keeps the tiles copied so far.
    }
}

void mDrawFullSize(RenderContext& ctx, FullSizePictures& pics, Integer pixelWidth,
                   Integer pixelHeight)
{
    pics.picSrc.cls();
    mTileImage(ctx, pics, pixelWidth, pixelHeight);
}

} // namespace ombrix
