#include "imagelist/NaturalOrder.h"
#include "imagelist/PictureExtensions.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <algorithm>

namespace pagemint {
namespace {

TEST(PictureExtensions, TheLastFourOrFiveCharactersDecideWithoutCase)
{
    struct Case {
        const char16_t *name;
        bool picture;
    };
    const Case cases[] = {
        {u"a.BMP", true},   {u"a.jpg", true},         {u"a.Gif", true},   {u"a.png", true},       {u"a.tif", true},
        {u"a.TiFf", true},  {u"a.jpeg", true},        {u".jpg", true},    {u"/x.y/b.JPEG", true}, {u"a.jpe", false},
        {u"a.png2", false}, {u"a.tiff~", false},      {u"a.jpg ", false}, {u"ajpg", false},       {u"jpeg", false},
        {u"a.webp", true},  {u"IMG_0001.HEIC", true}, {u"a.heif", true},  {u"a.AvIf", true},      {u"a.heics", false},
        {u"aheic", false},  {u"a.jpg/b", false},      {u"", false},       {u"a.jfif", false},     {u"a.pdf", false},
    };
    for (const Case &c : cases) {
        const QString name = QString::fromUtf16(c.name);
        EXPECT_EQ(hasPictureExtension(name), c.picture) << name.toStdString();
    }
}

TEST(NaturalOrder, SortsLikeAPersonReads)
{
    const QStringList expected = {
        "1.jpg",
        "2.jpg",
        "10.jpg",
        "a.jpg",
        "a1.jpg",
        "B.jpg",
        "img2.jpg",
        "IMG3.jpg",
        "img10.jpg",
        "img10a.jpg",
        "img10b.jpg",
        "img99999999999999999999.jpg",
        "img100000000000000000000.jpg",
        "page 2 of 3",
        "page 10 of 3",
        "zz",
    };
    QStringList shuffled = expected;
    std::reverse(shuffled.begin(), shuffled.end());
    std::rotate(shuffled.begin(), shuffled.begin() + 5, shuffled.end());
    std::sort(shuffled.begin(), shuffled.end(), naturalLess);
    EXPECT_EQ(shuffled, expected);
}

TEST(NaturalOrder, OnlyEqualNamesCompareEqual)
{
    struct Case {
        const char *a, *b;
    };
    // Each pair differs only in case or leading zeros: the sort must still put them one way round.
    const Case pairs[] = {{"A.jpg", "a.jpg"}, {"img2.jpg", "img02.jpg"}, {"img02.jpg", "img002.jpg"}, {"x0", "x00"}};
    for (const Case &c : pairs) {
        const QString a = QString::fromUtf8(c.a);
        const QString b = QString::fromUtf8(c.b);
        EXPECT_LT(naturalCompare(a, b), 0) << c.a << " vs " << c.b;
        EXPECT_GT(naturalCompare(b, a), 0) << c.b << " vs " << c.a;
    }
    EXPECT_EQ(naturalCompare(QStringLiteral("img2.jpg"), QStringLiteral("img2.jpg")), 0);
    EXPECT_LT(naturalCompare(QStringLiteral("img2.jpg"), QStringLiteral("img02b.jpg")), 0)
        << "leading zeros decide only when all else is equal";
}

TEST(NaturalOrder, ReadsChineseNumeralsAsNumbers)
{
    struct Case {
        const char16_t *run;
        const char *value;
    };
    const Case cases[] = {
        {u"一", "1"},
        {u"十", "10"},
        {u"十一", "11"},
        {u"二十", "20"},
        {u"二十一", "21"},
        {u"一百零五", "105"},
        {u"一千零一", "1001"},
        {u"两百", "200"},
        {u"十万", "100000"},
        {u"一亿二千万", "120000000"},
        {u"二〇二四", "2024"},
        {u"零", "0"},
        {u"九九九九九九九九九九九九九九九九九九九九九", "18446744073709551615"},
        {u"一a", ""},
        {u"", ""},
    };
    for (const Case &c : cases) {
        const QString run = QString::fromUtf16(c.run);
        EXPECT_EQ(chineseNumeralValue(run), QString::fromLatin1(c.value)) << run.toStdString();
    }
}

TEST(NaturalOrder, SortsChineseNamesByNumberThenPinyin)
{
    // A scan folder named in Chinese numerals, code-point order would give 一, 七, 三, 九, 二...
    QStringList pages;
    const QStringList numerals = {"一", "二", "三", "四", "五", "六", "七", "八", "九", "十"};
    for (int n = 1; n <= 20; ++n) {
        const QString number = n <= 10 ? numerals[n - 1]
                                       : (n >= 20 ? numerals[n / 10 - 1] : QString()) + QStringLiteral("十") +
                                             (n % 10 != 0 ? numerals[n % 10 - 1] : QString());
        pages << QStringLiteral("第") + number + QStringLiteral("页.jpg");
    }
    ASSERT_EQ(pages[10], QStringLiteral("第十一页.jpg"));
    ASSERT_EQ(pages[19], QStringLiteral("第二十页.jpg"));
    const QStringList mixed = {
        "1.jpg",      "2.jpg",        "10.jpg",   "a.jpg",    "B.jpg",    "第2页.jpg", "第三页.jpg",
        "第10页.jpg", "第十一页.jpg", "李四.jpg", "王五.jpg", "张三.jpg", "赵六.jpg",
    };
    for (const QStringList &expected : {pages, mixed}) {
        QStringList shuffled = expected;
        std::reverse(shuffled.begin(), shuffled.end());
        std::rotate(shuffled.begin(), shuffled.begin() + 3, shuffled.end());
        std::sort(shuffled.begin(), shuffled.end(), naturalLess);
        EXPECT_EQ(shuffled, expected) << shuffled.join(u' ').toStdString();
    }
    // Words that merely contain a unit are no numbers.
    EXPECT_LT(naturalCompare(QStringLiteral("第九页"), QStringLiteral("第万页")), 0);
    // Equal values written differently are still one order.
    EXPECT_LT(naturalCompare(QStringLiteral("第2页"), QStringLiteral("第二页")), 0);
    EXPECT_GT(naturalCompare(QStringLiteral("第二页"), QStringLiteral("第2页")), 0);
}

TEST(NaturalOrder, PathsSortFolderByFolderWithAFoldersOwnFilesFirst)
{
    const QStringList expected = {
        "/p/2.jpg",    "/p/10.jpg",    "/p/a/1.jpg",      "/p/a/b/1.jpg",
        "/p/a2/1.jpg", "/p/a10/1.jpg", "/p/第二章/1.jpg", "/p/第十章/1.jpg",
    };
    std::vector<NaturalPathKey> keys;
    for (const QString &path : expected)
        keys.push_back(naturalPathKey(path));
    std::vector<NaturalPathKey> shuffled(keys.rbegin(), keys.rend());
    std::sort(shuffled.begin(), shuffled.end(),
              [](const NaturalPathKey &a, const NaturalPathKey &b) { return naturalPathCompare(a, b) < 0; });
    QStringList sorted;
    for (const NaturalPathKey &key : shuffled)
        sorted << key.path;
    EXPECT_EQ(sorted, expected);
}

} // namespace
} // namespace pagemint
