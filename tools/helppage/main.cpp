// Turns the user guide (docs/guide.md) into the help page installed with the program
// (help/index.html in the application folder), with the pictures it shows copied beside it.
//   pagemint-helppage <guide.md> <output folder>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

#include <cstdio>

namespace {

// Relative names of the pictures the document shows.
QStringList picturesOf(const QTextDocument &document)
{
    QStringList pictures;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat())
                pictures << format.toImageFormat().name();
        }
    return pictures;
}

// The text of the first top-level heading: the page's title.
QString titleOf(const QTextDocument &document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        if (block.blockFormat().headingLevel() == 1)
            return block.text();
    return QStringLiteral("Pagemint");
}

bool fail(const QString &message)
{
    std::fprintf(stderr, "pagemint-helppage: %s\n", qPrintable(message));
    return false;
}

bool writeHelpPage(const QString &markdownPath, const QString &outputFolder)
{
    QFile markdown(markdownPath);
    if (!markdown.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1").arg(markdownPath));
    QTextDocument document;
    document.setMarkdown(QString::fromUtf8(markdown.readAll()));
    document.setMetaInformation(QTextDocument::DocumentTitle, titleOf(document));

    const QDir source = QFileInfo(markdownPath).dir();
    const QDir target(outputFolder);
    for (const QString &picture : picturesOf(document)) {
        if (QDir::isAbsolutePath(picture) || picture.contains(QStringLiteral("..")))
            return fail(QStringLiteral("picture outside the source tree: %1").arg(picture));
        const QString copy = target.filePath(picture);
        QDir().mkpath(QFileInfo(copy).path());
        QFile::remove(copy);
        if (!QFile::copy(source.filePath(picture), copy))
            return fail(QStringLiteral("cannot copy %1").arg(picture));
    }

    QFile page(target.filePath(QStringLiteral("index.html")));
    if (!page.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(QStringLiteral("cannot write %1").arg(page.fileName()));
    const QByteArray html = document.toHtml().toUtf8();
    return page.write(html) == html.size() || fail(QStringLiteral("cannot write %1").arg(page.fileName()));
}

} // namespace

int main(int argc, char *argv[])
{
    // Laying out a document needs a GUI application, not a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: pagemint-helppage <guide.md> <output folder>\n");
        return 2;
    }
    QDir().mkpath(arguments[2]);
    return writeHelpPage(arguments[1], arguments[2]) ? 0 : 1;
}
