#include "imagelist/PictureExtensions.h"

#include <QStringView>

#include <initializer_list>

namespace pagemint {

namespace {

bool upperTailIsOneOf(const QString &name, qsizetype length, std::initializer_list<QStringView> extensions)
{
    // Upper-case the tail only: toUpper may change the length of some characters (ß -> SS).
    const QString tail = name.right(length).toUpper();
    for (QStringView extension : extensions) {
        if (tail == extension)
            return true;
    }
    return false;
}

} // namespace

bool hasPictureExtension(const QString &name)
{
    return upperTailIsOneOf(name, 4, {u".BMP", u".JPG", u".GIF", u".PNG", u".TIF"}) ||
           upperTailIsOneOf(name, 5, {u".TIFF", u".JPEG", u".HEIC", u".HEIF", u".AVIF", u".WEBP"});
}

} // namespace pagemint
