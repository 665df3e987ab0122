// The help page "访问网站" opens: the user guide (docs/guide.md) as HTML in the built application
// folder, pictures included, so the command leads to a page that is there and that a user reads.
#include "ui/HelpPage.h"

#include "common/ApplicationFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace pagemint {
namespace {

TEST(HelpPage, LiesInTheApplicationFolder)
{
    setApplicationFolderForTesting(QStringLiteral("/opt/pagemint"));
    EXPECT_EQ(helpPagePath(), QStringLiteral("/opt/pagemint/help/index.html"));
    setApplicationFolderForTesting(QString());
}

class BuiltHelpPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile file(page_);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << page_.toStdString();
        html_ = QString::fromUtf8(file.readAll());
        QTextDocument document;
        document.setHtml(html_);
        text_ = document.toPlainText();
    }

    const QString page_ = QStringLiteral(PAGEMINT_APP_DIR "/help/index.html");
    QString html_;
    QString text_; // what a reader sees
};

TEST_F(BuiltHelpPage, IsTheChineseUserGuideAsHtmlWithItsPictures)
{
    EXPECT_TRUE(html_.contains(QStringLiteral("<title>Pagemint 使用说明</title>")));
    EXPECT_TRUE(html_.contains(QStringLiteral("<meta charset=\"utf-8\"")));
    // Every part a user needs, in the words of the program's commands.
    for (const QString &words :
         {QStringLiteral("添加图片"), QStringLiteral("排序和移除"), QStringLiteral("设置"), QStringLiteral("转换"),
          QStringLiteral("各种图片如何处理"), QStringLiteral("文件保存在哪里"), QStringLiteral("添加文件"),
          QStringLiteral("添加目录"), QStringLiteral("拖放"), QStringLiteral("上移一行"), QStringLiteral("下移一行"),
          QStringLiteral("移除"), QStringLiteral("保存设置"), QStringLiteral("setting.dll"), QStringLiteral("转换PDF"),
          QStringLiteral("NewPDF.pdf"), QStringLiteral("inkleaf_tmp")})
        EXPECT_TRUE(text_.contains(words)) << words.toStdString();
    // Rendered, not Markdown.
    EXPECT_FALSE(text_.contains(QStringLiteral("**")));

    const QRegularExpression picture(QStringLiteral("<img src=\"([^\"]+)\""));
    int pictures = 0;
    for (const QRegularExpressionMatch &match : picture.globalMatch(html_)) {
        ++pictures;
        EXPECT_TRUE(QFileInfo(QFileInfo(page_).dir(), match.captured(1)).isFile()) << match.captured(1).toStdString();
    }
    EXPECT_GE(pictures, 1);
}

TEST_F(BuiltHelpPage, SpeaksChineseAndHoldsNothingForDevelopers)
{
    qsizetype han = 0;
    qsizetype latin = 0;
    for (const QChar c : text_) {
        han += c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF;
        latin += (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    }
    EXPECT_GT(han, 2 * latin) << han << " Han characters, " << latin << " Latin letters";
    for (const QString &developers : {QStringLiteral("sanitiz"), QStringLiteral("clang"), QStringLiteral("cmake"),
                                      QStringLiteral(".ci/run"), QStringLiteral("continuous integration"),
                                      QStringLiteral("test.sh"), QStringLiteral("GoogleTest"), QStringLiteral("src/")})
        EXPECT_FALSE(text_.contains(developers, Qt::CaseInsensitive)) << developers.toStdString();
}

} // namespace
} // namespace pagemint
