#include "imagelist/AddFolderCommand.h"

#include "imagelist/FindImageFiles.h"
#include "imagelist/ImageListRules.h"
#include "ui/FolderBrowser.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QListWidget>

namespace pagemint {

void AddImagesFromFolder(frmMain &window, QWidget *dialogOwner)
{
    const QString folder = browseForFolder(dialogOwner, QStringLiteral("请选择一个文件夹:"));
    window.picText->show();
    window.lblText->setText(QStringLiteral("搜索文件..."));
    window.setCommandsEnabled(false);
    if (!folder.isEmpty())
        FindImageFiles(folder, *window.List1);
    window.picText->setVisible(window.List1->count() == 0);
    window.lblText->setText(hintText());
    window.setCommandsEnabled(true);
    QApplication::processEvents();
    window.update();
}

} // namespace pagemint
