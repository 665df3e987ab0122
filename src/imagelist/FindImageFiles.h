#pragma once
// The folder search behind "add pictures from a folder".

#include "imagelist/ScanSink.h"

#include <QString>
#include <QStringList>

#include <chrono>

namespace pagemint {

class ImageList;

// `text` up to and including its last character that is neither NUL nor a space; "" when there is none.
QString TrimNullsAndSpaces(const QString &text);

// Hands every picture (hasPictureExtension) of `folder` and of the folders below it to `sink`, in
// batches, handling events while it works, so entries appear while the search runs, in their final
// order.
// In each folder, entries are taken in natural name order (naturalCompare): its pictures first, then
// the first 200 of its subfolders, each searched completely before the next. A folder that cannot be
// listed adds nothing and is returned, in the order met; a folder already searched in this call
// (reached again through a link) is not searched again. Returns early when the sink says to stop or the program is
// asked to end (exitRequested) while events are handled. A batch goes to the sink and events are handled every
// `eventInterval` of work: adding rows one by one and handling events after each takes hours for
// 50,000 entries.
QStringList FindImageFiles(const QString &folder, ScanSink &sink,
                           std::chrono::milliseconds eventInterval = std::chrono::milliseconds(10));

// The same into `list`, stopping early if `list` is destroyed while events are handled.
QStringList FindImageFiles(const QString &folder, ImageList &list);

} // namespace pagemint
