// The help page "访问网站" opens: README.md as HTML in the built application folder, pictures
// included, so the command leads to a page that is there.
#include "ui/HelpPage.h"

#include "common/ApplicationFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace pagemint {
namespace {

TEST(HelpPage, LiesInTheApplicationFolder)
{
    setApplicationFolderForTesting(QStringLiteral("/opt/pagemint"));
    EXPECT_EQ(helpPagePath(), QStringLiteral("/opt/pagemint/help/README.html"));
    setApplicationFolderForTesting(QString());
}

TEST(HelpPage, TheBuildMakesItFromTheReadmeWithItsPictures)
{
    const QString page = QStringLiteral(PAGEMINT_APP_DIR "/help/README.html");
    QFile file(page);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << page.toStdString();
    const QString html = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(html.contains(QStringLiteral("<title>Pagemint</title>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<meta charset=\"utf-8\"")));
    // The user's part of the README, Chinese commands included, as HTML rather than Markdown.
    for (const QString &text : {QStringLiteral("Using it"), QStringLiteral("添加文件"), QStringLiteral("转换PDF")})
        EXPECT_TRUE(html.contains(text)) << text.toStdString();
    EXPECT_FALSE(html.contains(QStringLiteral("**添加文件**")));

    const QRegularExpression picture(QStringLiteral("<img src=\"([^\"]+)\""));
    int pictures = 0;
    for (const QRegularExpressionMatch &match : picture.globalMatch(html)) {
        ++pictures;
        EXPECT_TRUE(QFileInfo(QFileInfo(page).dir(), match.captured(1)).isFile()) << match.captured(1).toStdString();
    }
    EXPECT_GE(pictures, 1);
}

} // namespace
} // namespace pagemint
