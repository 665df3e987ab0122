#include "ui/HelpPage.h"

#include "common/ApplicationFolder.h"
#include "ui/MessageBox.h"
#include "ui/Shell.h"

namespace pagemint {

QString helpPagePath()
{
    return applicationFolder() + QStringLiteral("/help/index.html");
}

void openHelpPage(QWidget *owner)
{
    const QString page = helpPagePath();
    if (!openWithShell(page))
        ShowMessage(owner, QStringLiteral("没有可以打开帮助页面的程序。请在浏览器中打开：\n%1").arg(page),
                    QStringLiteral("访问网站"), QMessageBox::Information);
}

} // namespace pagemint
