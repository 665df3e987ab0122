#include "imagelist/ListRowsMimeData.h"

namespace pagemint {

ListRowsMimeData::ListRowsMimeData(const ImageList *list, std::vector<int> rows) : list_(list), rows_(std::move(rows))
{
    // Present under the format, so that views and drag managers see something to carry.
    setData(format(), QByteArray());
}

QString ListRowsMimeData::format()
{
    return QStringLiteral("application/x-pagemint-list-rows");
}

} // namespace pagemint
