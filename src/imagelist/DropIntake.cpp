#include "imagelist/DropIntake.h"

#include "common/FileNameBytes.h"
#include "imagelist/PictureExtensions.h"

#include <QMimeData>
#include <QUrl>

#include <filesystem>

namespace pagemint {

namespace {

// QUrl::toLocalFile, except that a percent escape of a byte that is not UTF-8 (%E9 of a Latin-1
// name, as file managers send it) keeps its byte instead of becoming U+FFFD.
QString localFileOf(const QUrl &url)
{
#ifdef _WIN32
    return url.toLocalFile();
#else
    const QString path = decodeFileName(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
    // As toLocalFile: "file://host/p" is "//host/p".
    return url.host().isEmpty() ? path : QStringLiteral("//") + url.host() + path;
#endif
}

} // namespace

std::vector<DroppedItem> droppedItems(const QMimeData &data)
{
    std::vector<DroppedItem> items;
    const QList<QUrl> urls = data.urls();
    for (const QUrl &url : urls) {
        if (!url.isLocalFile())
            continue;
        const QString path = localFileOf(url);
        std::error_code error;
        // By the name's own bytes, as the folder scan lists it.
        if (std::filesystem::is_directory(std::filesystem::path(encodeFileName(path).toStdString()), error))
            items.push_back({path, true});
        else if (hasPictureExtension(path))
            items.push_back({path, false});
    }
    return items;
}

} // namespace pagemint
