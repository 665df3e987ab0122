#include "ui/QtTranslation.h"

#include "ui/UiLog.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace pagemint {

QTranslator *installChineseForQt()
{
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    auto *translator = new QTranslator(QCoreApplication::instance());
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), folder) || !QCoreApplication::installTranslator(translator)) {
        qCWarning(lcUi, "Qt's Chinese translation qtbase_zh_CN was not found in %s; Qt's dialogs stay English",
                  qPrintable(folder));
        delete translator;
        return nullptr;
    }
    return translator;
}

} // namespace pagemint
