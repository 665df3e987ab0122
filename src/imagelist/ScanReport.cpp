#include "imagelist/ScanReport.h"

namespace pagemint {

UnreadableFoldersMessage unreadableFoldersMessageOf(const QStringList &folders, int maxNames)
{
    UnreadableFoldersMessage message;
    if (folders.isEmpty())
        return message;
    message.text = QStringLiteral("以下文件夹无法读取，其中的图片没有添加：");
    for (const QString &folder : folders.mid(0, maxNames))
        message.text += u'\n' + folder;
    if (folders.size() > maxNames) {
        message.text += QStringLiteral("\n…另有 %1 个").arg(folders.size() - maxNames);
        message.details = folders.join(u'\n');
    }
    return message;
}

} // namespace pagemint
