// Draws Pagemint's artwork and writes it, with its resource file, into the resources folder.
// Run it offscreen: QT_QPA_PLATFORM=offscreen skingen <resources folder> [--preview file.png]

#include "Artwork.h"
#include "Fonts.h"
#include "Preview.h"
#include "ResourceWriter.h"
#include "SkinLayout.h"
#include "SkinPainter.h"

#include <QCommandLineParser>
#include <QGuiApplication>

#include <cstdio>

using namespace skingen;

namespace {

constexpr int kIconSizes[] = {16, 24, 32, 48, 128};

QByteArray desktopEntry()
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Pagemint\n"
           "GenericName=Pictures to PDF\n"
           "GenericName[zh_CN]=图片转 PDF\n"
           "Comment=Put pictures together into one PDF document\n"
           "Comment[zh_CN]=把多张图片合成一个 PDF 文档\n"
           "Exec=pagemint\n"
           "Icon=pagemint\n"
           "Terminal=false\n"
           "Categories=Graphics;\n";
}

void writeButtonPictures(ResourceWriter &out)
{
    const auto all = zones();
    for (std::size_t i = 0; i < all.size(); ++i) {
        const Zone &zone = all[i];
        if (zone.hoverName)
            out.picture(buttonPicture(int(i), ButtonState::Hover), QStringLiteral("skin/%1.jpg").arg(zone.hoverName));
        if (zone.pressedName)
            out.picture(buttonPicture(int(i), ButtonState::Pressed),
                        QStringLiteral("skin/%1.jpg").arg(zone.pressedName));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Draws Pagemint's artwork into a resources folder."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("resources"), QStringLiteral("Folder to write into."));
    const FontFiles defaults;
    QCommandLineOption cjk(QStringLiteral("cjk-font"), QStringLiteral("Font file for Chinese captions."),
                           QStringLiteral("file"), defaults.cjk);
    QCommandLineOption latin(QStringLiteral("latin-font"), QStringLiteral("Font file for Latin text."),
                             QStringLiteral("file"), defaults.latin);
    QCommandLineOption preview(QStringLiteral("preview"), QStringLiteral("Also write a composite preview PNG."),
                               QStringLiteral("file"));
    parser.addOptions({cjk, latin, preview});
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    if (const QString error = loadFonts({parser.value(cjk), parser.value(latin)}); !error.isEmpty()) {
        std::fprintf(stderr, "skingen: %s\n", qPrintable(error));
        return 1;
    }

    const QImage skin = paintSkin();
    if (const QString fault = checkColourKeyEdge(skin); !fault.isEmpty()) {
        std::fprintf(stderr, "skingen: background: %s\n", qPrintable(fault));
        return 1;
    }

    ResourceWriter out(parser.positionalArguments().first());
    out.picture(skin, QStringLiteral("skin/background.png"));
    writeButtonPictures(out);
    out.picture(paintDoor(), QStringLiteral("skin/door.jpg"));
    out.picture(paintProgressFill(), QStringLiteral("skin/progress.jpg"));
    out.picture(paintCursor(), QStringLiteral("skin/cursor.png"));
    QList<QImage> icons;
    for (const int size : kIconSizes) {
        icons.append(paintAppIcon(size));
        out.picture(icons.last(), QStringLiteral("icons/icon_%1.png").arg(size));
    }
    out.icon(icons, QStringLiteral("icons/pagemint.ico"));
    out.text(desktopEntry(), QStringLiteral("pagemint.desktop"));
    out.resourceFile(QStringLiteral("skin.qrc"));

    if (parser.isSet(preview) && !composePreview(skin).save(parser.value(preview)))
        std::fprintf(stderr, "skingen: cannot write the preview %s\n", qPrintable(parser.value(preview)));

    for (const QString &error : out.errors())
        std::fprintf(stderr, "skingen: %s\n", qPrintable(error));
    std::printf("skingen: wrote %lld files\n", static_cast<long long>(out.written().size()));
    return out.errors().isEmpty() ? 0 : 1;
}
