#include "imagelist/ImageListRules.h"

#include "imagelist/PictureExtensions.h"

namespace pagemint {

namespace {
constexpr qsizetype shownPathLength = 40;
}

QString pageLabelText(int selectedIndex)
{
    return QStringLiteral("所在页码: ") + QString::number(selectedIndex < 0 ? 0 : selectedIndex + 1);
}

QString filenameLabelText(const QString &path)
{
    if (path.size() <= shownPathLength)
        return path;
    return QStringLiteral("...") + path.right(shownPathLength);
}

QString hintText()
{
    return QStringLiteral("请拖拽您的图片到这里");
}

QString addFileFilter()
{
    QStringList patterns;
    for (const QString &extension : pictureExtensions())
        patterns << QLatin1Char('*') + extension;
    // Every picture at once first: a folder of PNG, HEIC and WebP pictures would look empty under *.jpg.
    return QStringLiteral("所有图片|") + patterns.join(QLatin1Char(';')) + QLatin1Char('|') +
           QStringLiteral("JPG Files(*.jpg)|*.jpg|JPEG Files(*.jpeg)|*.jpeg|TIF Files(*.tif)|*.tif|"
                          "TIFF Files(*.tiff)|*.tiff|BMP Files(*.BMP)|*.bmp|GIF Files(*.gif)|*.gif|"
                          "PNG Files(*.png)|*.png|HEIC Files(*.heic)|*.heic|HEIF Files(*.heif)|*.heif|"
                          "AVIF Files(*.avif)|*.avif|WebP Files(*.webp)|*.webp|All Files(*.*)|*.*");
}

int moveTarget(int selected, int count, MoveDirection direction)
{
    if (selected < 0 || selected >= count)
        return -1;
    const int target = direction == MoveDirection::Up ? selected - 1 : selected + 1;
    return target >= 0 && target < count ? target : -1;
}

} // namespace pagemint
