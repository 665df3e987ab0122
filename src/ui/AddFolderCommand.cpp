#include "ui/AddFolderCommand.h"

#include "common/ExitRequest.h"
#include "imagelist/FindImageFiles.h"
#include "imagelist/ScanReport.h"
#include "ui/FolderBrowser.h"
#include "ui/MessageBox.h"
#include "ui/frmMain.h"

namespace pagemint {

void AddImagesFromFolder(frmMain &window, QWidget *dialogOwner)
{
    const QString folder = browseForFolder(dialogOwner, QStringLiteral("请选择一个文件夹:"));
    AddImagesOfFolder(window, folder, dialogOwner);
}

void AddImagesOfFolder(frmMain &window, const QString &folder, QWidget *messageOwner)
{
    window.showSearching(true);
    QStringList unreadable;
    if (!folder.isEmpty())
        unreadable = FindImageFiles(folder, window.imageList());
    window.showSearching(false);
    // Pictures left out of the list without a word would look like pictures that are not there.
    const UnreadableFoldersMessage message = unreadableFoldersMessageOf(unreadable);
    if (!message.text.isEmpty() && !exitRequested)
        ShowMessage(messageOwner, message.text, QStringLiteral("添加目录"), QMessageBox::Warning, QMessageBox::Ok,
                    message.details);
}

} // namespace pagemint
