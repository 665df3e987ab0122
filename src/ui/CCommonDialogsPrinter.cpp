#include "ui/CCommonDialogs.h"

#include "ui/DialogWithoutExceptions.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace pagemint {

bool CCommonDialogs::ShowPrinter()
{
    QPrinter printer;
    QPrintDialog dialog(&printer, owner());
    dialog.setObjectName(QStringLiteral("ShowPrinter"));
    // What is printed is decided by the caller: whole documents, to a printer.
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    return dialog.exec() == QDialog::Accepted;
}

bool CCommonDialogs::ShowPrinterProperties()
{
    return withoutErrors("printer properties", [this] {
        const QPrinterInfo target = QPrinterInfo::defaultPrinter();
        if (target.isNull())
            return false;
        QPrinter printer(target);
        QPageSetupDialog dialog(&printer, owner());
        dialog.setObjectName(QStringLiteral("ShowPrinterProperties"));
        return dialog.exec() == QDialog::Accepted;
    });
}

} // namespace pagemint
