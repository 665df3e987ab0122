#include "imagelist/PictureExtensions.h"

namespace pagemint {

const QStringList &pictureExtensions()
{
    static const QStringList extensions = {
        QStringLiteral(".jpg"),  QStringLiteral(".jpeg"), QStringLiteral(".tif"),  QStringLiteral(".tiff"),
        QStringLiteral(".bmp"),  QStringLiteral(".gif"),  QStringLiteral(".png"),  QStringLiteral(".heic"),
        QStringLiteral(".heif"), QStringLiteral(".avif"), QStringLiteral(".webp"),
    };
    return extensions;
}

bool hasPictureExtension(const QString &name)
{
    for (const QString &extension : pictureExtensions()) {
        // Upper-case the tail only: toUpper may change the length of some characters (ß -> SS).
        if (name.right(extension.size()).toUpper() == extension.toUpper())
            return true;
    }
    return false;
}

} // namespace pagemint
