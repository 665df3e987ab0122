#include "conversion/OverwriteQuestion.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

namespace pagemint {
namespace {

TEST(OverwriteQuestion, NamesThePdfsTheJobWouldWriteThatExist)
{
    struct Case {
        QStringList pictures;
        QStringList inFolder;
        QStringList existing;
    };
    const Case cases[] = {
        {{"/p/a.jpg", "/p/b.png"}, {}, {}},
        {{"/p/a.jpg", "/p/b.png"}, {"b.pdf"}, {"b.pdf"}},
        // The second picture of a base name would write "a (2).pdf": that one is asked about.
        {{"/p/a.jpg", "/q/a.png", "/r/a.tif"}, {"a (2).pdf", "a (3).pdf", "a (4).pdf"}, {"a (2).pdf", "a (3).pdf"}},
        // Leading dots are no part of the name; each existing name once, in list order.
        {{"/p/.z.png", "/p/c.jpg", "/p/z.gif"}, {"z (2).pdf", "c.pdf", "z.pdf"}, {"z.pdf", "c.pdf", "z (2).pdf"}},
        {{"/p/img.jpg"}, {"img.jpg", "IMG.pdf", "img (2).pdf"}, {}},
    };
    for (const Case &c : cases) {
        const auto exists = [&c](const QString &name) { return c.inFolder.contains(name); };
        EXPECT_EQ(existingPerPicturePdfs(c.pictures, exists), c.existing) << c.pictures.join(u' ').toStdString();
    }
}

TEST(OverwriteQuestion, CountsThemAndNamesAFew)
{
    const std::pair<QStringList, QString> cases[] = {
        {{"a.pdf"}, "1 个PDF文件已经存在。是否覆盖？\n\na.pdf"},
        {{"a.pdf", "b.pdf", "c.pdf"}, "3 个PDF文件已经存在。是否覆盖？\n\na.pdf\nb.pdf\nc.pdf"},
        {{"a.pdf", "b.pdf", "c.pdf", "d.pdf"}, "4 个PDF文件已经存在。是否覆盖？\n\na.pdf\nb.pdf\nc.pdf\n…另有 1 个"},
    };
    for (const auto &[existing, question] : cases)
        EXPECT_EQ(perPictureOverwriteQuestion(existing, 3), question);
    QStringList many;
    for (int i = 0; i < 44; ++i)
        many << QStringLiteral("p%1.pdf").arg(i);
    const QString question = perPictureOverwriteQuestion(many);
    EXPECT_TRUE(question.startsWith(QStringLiteral("44 个PDF文件已经存在。是否覆盖？")));
    EXPECT_EQ(question.count(QStringLiteral(".pdf")), kNamesInOverwriteQuestion);
    EXPECT_TRUE(question.endsWith(QStringLiteral("…另有 %1 个").arg(44 - kNamesInOverwriteQuestion)));
}

TEST(OverwriteQuestion, AnythingButAFolderWouldBeReplaced)
{
    QTemporaryDir dir;
    const QString folder = dir.path();
    QFile(folder + QStringLiteral("/file.pdf")).open(QIODevice::WriteOnly);
    QDir().mkpath(folder + QStringLiteral("/folder.pdf"));
    QFile::link(folder + QStringLiteral("/nowhere"), folder + QStringLiteral("/dangling.pdf"));
    // A name whose bytes are not UTF-8 (0xE9), as the scan hands it on.
    const QString latin1 = folder + QStringLiteral("/caf") + QChar(0xDCE9) + QStringLiteral(".pdf");
    const std::ofstream latin1File(QFile::encodeName(folder).toStdString() + "/caf\xE9.pdf");
    const std::pair<QString, bool> cases[] = {
        {folder + QStringLiteral("/file.pdf"), true},       {folder + QStringLiteral("/dangling.pdf"), true},
        {folder + QStringLiteral("/folder.pdf"), false},    {folder + QStringLiteral("/missing.pdf"), false},
        {folder + QStringLiteral("/caf\u00e9.pdf"), false}, {latin1, true},
    };
    for (const auto &[path, replaced] : cases)
        EXPECT_EQ(pdfWouldReplace(path), replaced) << path.toStdString();
}

} // namespace
} // namespace pagemint
