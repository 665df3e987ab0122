#include "cli/OutputTarget.h"

#include <QDir>

namespace pagemint {

OutputTarget outputTargetOf(const QString &output, bool onePdfPerPicture, const QString &storedFolder,
                            const QString &workingFolder, const std::function<bool(const QString &)> &isFolder)
{
    OutputTarget target;
    const QString given = output.isEmpty() ? storedFolder : output;
    const QString path = QDir::cleanPath(QDir(workingFolder).absoluteFilePath(given));
    // "out.pdf/" says a folder as plainly as an existing folder of that name does.
    const bool namesDocument = !output.isEmpty() && !output.endsWith(u'/') &&
                               path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive) && !isFolder(path);
    if (!namesDocument) {
        target.folder = path;
        return target;
    }
    if (onePdfPerPicture) {
        target.problem = QStringLiteral("每张图片生成一个PDF时，-o 须是文件夹：%1").arg(output);
        return target;
    }
    const qsizetype slash = path.lastIndexOf(u'/');
    target.folder = slash == 0 ? QStringLiteral("/") : path.left(slash);
    target.stem = path.mid(slash + 1).chopped(4);
    if (target.stem.isEmpty())
        target.problem = QStringLiteral("PDF文件名为空：%1").arg(output);
    return target;
}

} // namespace pagemint
