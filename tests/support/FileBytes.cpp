#include "FileBytes.h"

#include <QFile>

namespace pagemint::test {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace pagemint::test
