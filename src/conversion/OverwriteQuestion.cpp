#include "conversion/OverwriteQuestion.h"

#include "conversion/PdfNames.h"
#include "conversion/StagingPaths.h"

#include <filesystem>

namespace pagemint {

QStringList existingPerPicturePdfs(const QStringList &pictures, const std::function<bool(const QString &)> &exists)
{
    PerPictureNames names;
    QStringList existing;
    for (const QString &picture : pictures) {
        const QString name = names.nameFor(picture);
        names.written(name);
        if (exists(name))
            existing << name;
    }
    return existing;
}

QString perPictureOverwriteQuestion(const QStringList &existing, int maxNames)
{
    QString text = QStringLiteral("%1 个PDF文件已经存在。是否覆盖？\n").arg(existing.size());
    for (const QString &name : existing.mid(0, maxNames))
        text += u'\n' + name;
    if (existing.size() > maxNames)
        text += QStringLiteral("\n…另有 %1 个").arg(existing.size() - maxNames);
    return text;
}

QString documentOverwriteQuestion()
{
    return QStringLiteral("输出文件已经存在。是否覆盖？");
}

bool pdfWouldReplace(const QString &path)
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::symlink_status(toFsPath(path), error);
    return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

} // namespace pagemint
