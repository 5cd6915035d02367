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
    FullSizePictures pics;
    pics.resize(options.width, options.height);
    if (pics.picSrc.image().isNull() || pics.picShow.image().isNull())
        return {}; // out of memory
    RenderContext ctx(p);
    ctx.progressBar = options.progressBar;
    ctx.pbFullSize = true;
    mDrawFullSize(ctx, pics, static_cast<Integer>(options.width),
                  static_cast<Integer>(options.height));
    ctx.pbFullSize = false;
    mDrawBorders(pics.picShow, p);
    QImage picture = std::move(pics.picShow.image());
    if (options.printTexts)
        mPrintTexts(picture, p, options.dpi);
    return picture;
}

} // namespace ombrix
