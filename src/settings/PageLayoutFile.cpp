#include "settings/PageLayoutFile.h"

#include "common/ApplicationFolder.h"
#include "settings/SettingsLog.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>

#include <optional>
#include <string>
#include <string_view>

namespace pagemint {

namespace {

constexpr auto kPaperKey = "Page/Paper";
constexpr auto kOrientationKey = "Page/Orientation";
constexpr auto kMarginKey = "Page/MarginMm";
constexpr auto kFitKey = "Page/Fit";
constexpr auto kRecognitionKey = "Text/Recognition";
constexpr auto kUprightKey = "Text/Upright";

std::optional<bool> uprightFromWord(std::string_view word)
{
    const QString text = QString::fromUtf8(word.data(), qsizetype(word.size()));
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

std::string_view uprightWord(bool upright)
{
    return upright ? "true" : "false";
}

// Whether the file can be read as an INI file: a missing file cannot, silently; another one that
// cannot leaves a warning.
bool readable(const QString &path, const QSettings &file)
{
    if (!QFileInfo(path).isFile())
        return false;
    if (file.status() == QSettings::NoError)
        return true;
    qCWarning(lcSettings, "settings file %s not read: %s", qUtf8Printable(path),
              file.status() == QSettings::AccessError ? "it cannot be opened" : "it is no INI file");
    return false;
}

// The key's value read by `fromWord`; `current` when the key is missing or its value is not
// understood (that one with a warning).
template <typename Choice, typename FromWord>
Choice readKey(const QSettings &file, const char *key, Choice current, FromWord fromWord)
{
    const QVariant value = file.value(QLatin1String(key));
    if (!value.isValid())
        return current;
    // A value with a comma comes back as a list, which is no word of ours either.
    const QString text = value.typeId() == QMetaType::QString ? value.toString().trimmed() : QString();
    const QByteArray word = text.toUtf8();
    if (const std::optional<Choice> choice = fromWord(std::string_view(word.constData(), std::size_t(word.size()))))
        return *choice;
    qCWarning(lcSettings, "%s in %s ignored: \"%s\" is not a value it takes", key, qUtf8Printable(file.fileName()),
              qUtf8Printable(value.toStringList().join(u',')));
    return current;
}

} // namespace

QString pageLayoutFilePath()
{
    return applicationFolder() + QStringLiteral("/pagemint.ini");
}

PageLayout readPageLayoutFile(const QString &path)
{
    PageLayout layout;
    const QSettings file(path, QSettings::IniFormat);
    if (!readable(path, file))
        return layout;
    layout.paper = readKey(file, kPaperKey, layout.paper, paperFromWord);
    layout.orientation = readKey(file, kOrientationKey, layout.orientation, orientationFromWord);
    layout.marginMm = readKey(file, kMarginKey, layout.marginMm, marginFromWord);
    layout.fit = readKey(file, kFitKey, layout.fit, fitFromWord);
    return layout;
}

TextChoice readTextChoiceFile(const QString &path)
{
    TextChoice text;
    const QSettings file(path, QSettings::IniFormat);
    if (!readable(path, file))
        return text;
    text.recognition = readKey(file, kRecognitionKey, text.recognition, recognitionFromWord);
    text.upright = readKey(file, kUprightKey, text.upright, uprightFromWord);
    return text;
}

bool writePageLayoutFile(const QString &path, const PageLayout &layout)
{
    return writePagemintIni(path, layout, readTextChoiceFile(path));
}

bool writeTextChoiceFile(const QString &path, const TextChoice &text)
{
    return writePagemintIni(path, readPageLayoutFile(path), text);
}

bool writePagemintIni(const QString &path, const PageLayout &layout, const TextChoice &text)
{
    // Written out here rather than through QSettings, which would keep a failed write's values in
    // its cache of the file and read them back in this run, and could leave half a file.
    const auto line = [](const char *key, std::string_view word) {
        return QByteArray(key) + '=' + QByteArray(word.data(), qsizetype(word.size())) + '\n';
    };
    const QByteArray bytes =
        "[Page]\n" + line("Paper", paperWord(layout.paper)) + line("Orientation", orientationWord(layout.orientation)) +
        line("MarginMm", std::to_string(layout.marginMm)) + line("Fit", fitWord(layout.fit)) + "[Text]\n" +
        line("Recognition", recognitionWord(text.recognition)) + line("Upright", uprightWord(text.upright));
    QSaveFile file(path);
    // As with setting.dll: a folder we may not write in, holding a file we may write.
    file.setDirectWriteFallback(true);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    qCWarning(lcSettings, "settings file %s not written: %s", qUtf8Printable(path), qUtf8Printable(file.errorString()));
    file.cancelWriting();
    return false;
}

} // namespace pagemint
