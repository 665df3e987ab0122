#include "imagelist/DropIntake.h"

#include "imagelist/PictureExtensions.h"

#include <QMimeData>
#include <QUrl>

namespace pagemint {

QStringList droppedPicturePaths(const QMimeData &data)
{
    QStringList paths;
    const QList<QUrl> urls = data.urls();
    for (const QUrl &url : urls) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        if (hasPictureExtension(path))
            paths.append(path);
    }
    return paths;
}

} // namespace pagemint
