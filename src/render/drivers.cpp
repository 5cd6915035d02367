#include "render/drivers.h"

#include <QPainter>

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
}

void FullSizePictures::resize(int width, int height)
{
    picSrc.resize(width, height);
    picShow.resize(width, height);
}

void mTileImage(RenderContext& ctx, FullSizePictures& pics, Integer pixelWidth, Integer pixelHeight)
{
    const ImageParams& p = ctx.p;
    try {
        const Long cw = pics.picShow.width(), ch = pics.picShow.height();
        if (p.pnHorRep < 1 || p.pnVerRep < 1)
            return;
        const Integer tw = num::cint(static_cast<double>(pixelWidth) / p.pnHorRep);
        const Integer th = num::cint(static_cast<double>(pixelHeight) / p.pnVerRep);
        mDrawPattern(ctx, pics.picSrc, 0, 0, tw, th);
        pics.picShow.cls();

        // Each copy takes the whole cw x ch block from the source's top left,
        // so every tile but the last of a column or row is overwritten beyond
        // its own size by the next copy.  Copying only what stays gives the
        // same picture with far fewer pixels moved.
        QPainter painter(&pics.picShow.image());
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        const QImage& src = pics.picSrc.image();
        for (Long i = 1; i <= p.pnHorRep; ++i) {
            const Long x = (i - 1) * static_cast<Long>(tw);
            const Long w = i == p.pnHorRep ? cw : std::max<Long>(tw, 0);
            for (Long j = 1; j <= p.pnVerRep; ++j) {
                const Long y = (j - 1) * static_cast<Long>(th);
                const Long h = j == p.pnVerRep ? ch : std::max<Long>(th, 0);
                if (w > 0 && h > 0 && x < cw && y < ch)
                    painter.drawImage(QPoint(x, y), src, QRect(0, 0, w, h));
            }
        }
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
