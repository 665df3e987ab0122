#include "ui/QtTranslation.h"

#include "ui/FileDialogDetails.h"
#include "ui/UiLog.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstring>

namespace pagemint {

namespace {
// Words of Qt 6 that qtbase_zh_CN does not hold: the kind a file dialog gives a folder or a drive.
class MissingWords : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *sourceText, const char * /*disambiguation*/,
                      int /*n*/) const override
    {
        struct Word {
            const char *english;
            const char *chinese;
        };
        static constexpr Word words[] = {
            {"Folder", "文件夹"},     {"Drive", "驱动器"}, {"Alias", "快捷方式"},
            {"Shortcut", "快捷方式"}, {"Unknown", "未知"},
        };
        if (context == nullptr || sourceText == nullptr || std::strcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        for (const Word &word : words)
            if (std::strcmp(sourceText, word.english) == 0)
                return QString::fromUtf8(word.chinese);
        return {};
    }
};
} // namespace

QObject *installChineseForQt()
{
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    auto *chinese = new QObject(QCoreApplication::instance());
    auto *translator = new QTranslator(chinese);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), folder) || !QCoreApplication::installTranslator(translator)) {
        qCWarning(lcUi, "Qt's Chinese translation qtbase_zh_CN was not found in %s; Qt's dialogs stay English",
                  qPrintable(folder));
        delete chinese;
        return nullptr;
    }
    QCoreApplication::installTranslator(new MissingWords(chinese));
    showFileDetailsInLocale(chinese);
    return chinese;
}

} // namespace pagemint
