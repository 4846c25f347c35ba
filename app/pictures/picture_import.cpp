// SPDX-License-Identifier: MIT
#include "picture_import.h"

#include <tuple>

namespace kestrin {

QSize displaySizeOf(PictureTarget target)
{
    return target == PictureTarget::Display ? kDisplaySize : kHalfSize;
}

QImage readImportImage(const QString &path, PictureTarget target)
{
    return readImage(path, displaySizeOf(target), Scaling::Fill);
}

ImportedPictures importPicture(const QImage &image, PictureTarget target, const Preparation &preparation,
                               const HalfPicture &upper, const HalfPicture &lower)
{
    // The image is scaled to the display once: an image of display size is
    // prepared pixel for pixel, so its grey gives Otsu's level and the very
    // decisions the image itself would.
    const QImage grey = greyAtDisplay(image, displaySizeOf(target), preparation.scaling);
    Preparation decided = preparation;
    decided.threshold = preparation.threshold.value_or(otsuLevel(grey));
    ImportedPictures imported{upper, lower, *decided.threshold, {}};
    switch (target) {
    case PictureTarget::Upper:
        imported.upper = prepareHalf(grey, decided, DisplayHalf::Upper);
        break;
    case PictureTarget::Lower:
        imported.lower = prepareHalf(grey, decided, DisplayHalf::Lower);
        break;
    case PictureTarget::Display:
        std::tie(imported.upper, imported.lower) = prepareDisplay(grey, decided);
        break;
    }
    imported.frame = convertPictures(imported.upper, imported.lower);
    return imported;
}

} // namespace kestrin
