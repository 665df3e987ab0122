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

} // namespace
} // namespace pagemint
