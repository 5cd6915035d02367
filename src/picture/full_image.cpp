// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/full_image.h"

#include "picture/borders.h"
#include "picture/texts.h"
#include "render/drivers.h"

namespace ombrix
{

QImage renderFullImage(const ImageParams& p, const FullImageOptions& options)
{
    if (options.width < 1 || options.height < 1 || options.width > kMaxImageSide ||
        options.height > kMaxImageSide)
        return {};
    // Both pictures are only reserved here: the source is touched only as
    // far as repetitions need it, and not at all for a single tile, which
    // is drawn straight into the shown picture.
    FullSizePictures pics;
    pics.resize(options.width, options.height);
    if (pics.picSrc.width() == 0 || pics.picShow.width() == 0)
        return {}; // out of memory
    RenderContext ctx(p);
    ctx.progressBar = options.progressBar;
    ctx.pbFullSize = true;
    mDrawFullSize(ctx, pics, static_cast<Integer>(options.width),
                  static_cast<Integer>(options.height));
    ctx.pbFullSize = false;
    mDrawBorders(pics.picShow, p, options.dpi / 96.0);
    QImage picture = std::move(pics.picShow.image());
    if (printsTexts(p, options))
        mPrintTexts(picture, p, options.dpi);
    return picture;
}

bool printsTexts(const ImageParams& p, const FullImageOptions& options)
{
    if (!options.printTexts)
        return false;
    for (const std::string& text : p.psText)
        if (!text.empty())
            return true;
    return false;
}

} // namespace ombrix
