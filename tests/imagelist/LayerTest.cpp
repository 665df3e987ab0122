// The image list is data and rules: Qt Core and the layers below it, never a widget, a window or
// the conversion. Checked on the sources, since the library they are built into links Qt Widgets.
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace pagemint {
namespace {

bool allowedInclude(const QString &name, bool quoted)
{
    if (quoted) {
        // A path that climbs with ".." is found beside the including file, past every include
        // root, whatever folder it starts with.
        if (name.split(u'/').contains(QStringLiteral("..")))
            return false;
        for (const char *layer : {"imagelist/", "common/", "contract/"})
            if (name.startsWith(QLatin1String(layer)))
                return true;
        return false;
    }
    if (name.startsWith(QLatin1String("Qt")) && name.contains(u'/'))
        return name.startsWith(QLatin1String("QtCore/"));
    if (name.startsWith(u'Q'))
        return QFile::exists(QLibraryInfo::path(QLibraryInfo::HeadersPath) + QStringLiteral("/QtCore/") + name);
    return true; // the standard library and the system's own headers
}

TEST(ImageListLayer, IncludesOnlyQtCoreAndTheLayersBelow)
{
    const QDir sources(QStringLiteral(PAGEMINT_TEST_SOURCE_DIR "/../src/imagelist"));
    const QStringList files = sources.entryList({QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files);
    ASSERT_GT(files.size(), 5) << sources.path().toStdString();
    const QRegularExpression include(QStringLiteral(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])"),
                                     QRegularExpression::MultilineOption);
    for (const QString &name : files) {
        QFile file(sources.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QString text = QString::fromUtf8(file.readAll());
        for (const QRegularExpressionMatch &m : include.globalMatch(text))
            EXPECT_TRUE(allowedInclude(m.captured(2), m.captured(1) == u'"'))
                << name.toStdString() << " includes " << m.captured(2).toStdString();
    }
}

TEST(ImageListLayer, TheRuleTellsQtCoreFromWidgetsAndLayersApart)
{
    struct Case {
        const char *name;
        bool quoted, allowed;
    };
    const Case cases[] = {
        {"QAbstractListModel", false, true},
        {"QPointer", false, true},
        {"QtCore/QString", false, true},
        {"QListWidget", false, false},
        {"QWidget", false, false},
        {"QtWidgets/QLabel", false, false},
        {"vector", false, true},
        {"dirent.h", false, true},
        {"imagelist/ImageList.h", true, true},
        {"common/ExitRequest.h", true, true},
        {"ui/frmMain.h", true, false},
        {"app/frmPrinting.h", true, false},
        {"conversion/StagingPaths.h", true, false},
        {"../ui/frmMain.h", true, false},
        {"imagelist/../ui/frmMain.h", true, false},
        {"common/../../src/conversion/StagingPaths.h", true, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(allowedInclude(QString::fromLatin1(c.name), c.quoted), c.allowed) << c.name;
}

} // namespace
} // namespace pagemint
