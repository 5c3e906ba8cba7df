#include "picture_file.h"

#include "platform/vb/error.h"

#include <QFileInfo>
#include <QImageReader>

#include <cmath>

namespace ui {

namespace {

constexpr double TwipsPerInch = 1440.0;
constexpr double MetresPerInch = 0.0254;
constexpr double DefaultDotsPerInch = 96.0;

Twips lengthInTwips(int pixels, int dotsPerMetre)
{
    const double dotsPerInch = dotsPerMetre > 0 ? dotsPerMetre * MetresPerInch : DefaultDotsPerInch;
    return static_cast<Twips>(std::lround(pixels * TwipsPerInch / dotsPerInch));
}

} // namespace

PictureFile readPictureFile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        throw vb::Error::standard(vb::err::FileNotFound);
    QImageReader reader(path);
    // Decide by content, not by the file name's extension: hosts' photo
    // folders hold files named after the article whatever their format.
    reader.setDecideFormatFromContent(true);
    PictureFile picture;
    if (!reader.read(&picture.image))
        throw vb::Error::standard(vb::err::InvalidPicture);
    picture.width = lengthInTwips(picture.image.width(), picture.image.dotsPerMeterX());
    picture.height = lengthInTwips(picture.image.height(), picture.image.dotsPerMeterY());
    return picture;
}

} // namespace ui
