#include "ui/AddFolderCommand.h"

#include "imagelist/FindImageFiles.h"
#include "ui/FolderBrowser.h"
#include "ui/frmMain.h"

namespace pagemint {

void AddImagesFromFolder(frmMain &window, QWidget *dialogOwner)
{
    const QString folder = browseForFolder(dialogOwner, QStringLiteral("请选择一个文件夹:"));
    window.showSearching(true);
    if (!folder.isEmpty())
        FindImageFiles(folder, window.imageList());
    window.showSearching(false);
}

} // namespace pagemint
