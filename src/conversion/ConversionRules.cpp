#include "conversion/ConversionRules.h"

#include "common/Rounding.h"
#include "contract/ConverterContract.h"
#include "contract/PageTurn.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

namespace pagemint {

QString pageWordOf(const QString &chunk)
{
    const QStringList words = chunk.split(QLatin1Char(' '));
    for (auto word = words.crbegin(); word != words.crend(); ++word) {
        if (word->right(4).toUpper() == QStringLiteral(".JPG"))
            return *word;
    }
    return QString();
}

int pageNumberOf(const QString &pageWord)
{
    const QString number = pageWord.left(pageWord.size() - 4);
    qint64 value = 0;
    bool any = false;
    for (const QChar c : number) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n'))
            continue;
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        any = true;
        value = std::min<qint64>(value * 10 + c.digitValue(), 1'000'000'000);
    }
    return any ? static_cast<int>(value) : 0;
}

int stagingPercent(int i, int n)
{
    if (n <= 1)
        return 100;
    return static_cast<int>(std::floor(static_cast<double>(i) / (n - 1) * 100));
}

int converterPercent(int k, int n)
{
    if (n <= 0)
        return 0;
    return static_cast<int>(roundHalfEven(static_cast<double>(k) / n * 100));
}

QString freeNewPdfName(const QString &folder, const std::function<bool(const QString &)> &exists)
{
    return freePdfName(folder, QStringLiteral("NewPDF"), exists);
}

QString freePdfName(const QString &folder, const QString &stem, const std::function<bool(const QString &)> &exists)
{
    QString first = folder + u'/' + stem + QStringLiteral(".pdf");
    if (!exists(first))
        return first;
    for (int m = 1; m <= 10000; ++m) {
        QString candidate = folder + u'/' + stem + QStringLiteral("%1.pdf").arg(m);
        if (!exists(candidate))
            return candidate;
    }
    return QString();
}

bool visibleFileExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isHidden() && !info.isDir();
}

bool newPdfNameTaken(const QString &path)
{
    return visibleFileExists(path) || QFileInfo(path).isDir();
}

std::map<int, QString> leftOutPagesOf(const QString &converterOutput)
{
    std::map<int, QString> pages;
    for (const QString &line : converterOutput.split(u'\n')) {
        const std::optional<LeftOutNotice> notice = parseLeftOutLine(line.toStdString());
        if (!notice)
            continue;
        if (const std::optional<int> index = stagedPageIndex(notice->name))
            pages[*index] = QString::fromStdString(notice->reason).trimmed();
    }
    return pages;
}

QString outputFolderOf(const QString &folderText)
{
    return folderText.endsWith(QDir::separator()) ? folderText.chopped(1) : folderText;
}

QString converterCommandLine(const QString &applicationFolder, const PageLayout &layout,
                             const std::map<int, int> &turns)
{
    return converterCommandLineOf(
        applicationFolder + QStringLiteral("/data/") + QString::fromLatin1(kConverterFileName), layout, turns);
}

QString converterCommandLineOf(const QString &converterProgram, const PageLayout &layout,
                               const std::map<int, int> &turns)
{
    QString line = QStringLiteral("\"%1\" ").arg(converterProgram);
    // The layout's words and the staged page names hold no space or quote.
    for (const std::string &argument : layoutArguments(layout))
        line += QString::fromStdString(argument) + u' ';
    for (const auto &[index, turn] : turns)
        if (quarterTurn(turn).value_or(0) != 0)
            line += QString::fromStdString(turnArgument(stagedPageName(index), turn)) + u' ';
    return line + QString::fromLatin1(kConverterStagingArgument);
}

} // namespace pagemint
