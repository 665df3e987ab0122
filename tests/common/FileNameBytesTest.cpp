#include "common/FileNameBytes.h"

#include <QByteArray>
#include <QString>
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace pagemint {
namespace {

// Lone surrogate standing for one byte of a name that is not UTF-8.
QString escaped(unsigned char byte)
{
    return QString(QChar(static_cast<char16_t>(0xDC00 + byte)));
}

struct NameCase {
    const char *what;
    QByteArray bytes;
    QString text;
};

const std::vector<NameCase> nameCases = {
    {"ascii", "plain.png", QStringLiteral("plain.png")},
    {"utf-8", "\xe6\x95\xb0\xe6\x8d\xae/caf\xc3\xa9.png", QStringLiteral("数据/café.png")},
    // QString::fromUtf8 would drop it; it is part of the name.
    {"leading byte order mark",
     "\xef\xbb\xbf"
     "a.png",
     QStringLiteral("\uFEFFa.png")},
    {"outside the basic plane", "\xf0\x9f\x93\xb7.jpg", QStringLiteral("\U0001F4F7.jpg")},
    // U+10080 is D800 DC80 in UTF-16: its low half lies in the escape range.
    {"pair with an escape-like low half", "\xf0\x90\x82\x80", QStringLiteral("\U00010080")},
    {"latin-1", "caf\xe9.png", "caf" + escaped(0xe9) + ".png"},
    {"lone 0xff", "\xff", escaped(0xff)},
    {"stray continuation byte", "\x80.gif", escaped(0x80) + ".gif"},
    {"truncated at the end", "a\xe2\x82", "a" + escaped(0xe2) + escaped(0x82)},
    {"truncated before ascii", "\xe2\x82x", escaped(0xe2) + escaped(0x82) + "x"},
    // ED B2 80 would be U+DC80 itself: decoding it as that would bring back the single byte 80.
    {"encoded surrogate", "\xed\xb2\x80", escaped(0xed) + escaped(0xb2) + escaped(0x80)},
    {"overlong slash", "\xc0\xaf", escaped(0xc0) + escaped(0xaf)},
    {"beyond U+10FFFF", "\xf4\x90\x80\x80", escaped(0xf4) + escaped(0x90) + escaped(0x80) + escaped(0x80)},
    {"valid after invalid", "\xf0\xe2\x82\xac", escaped(0xf0) + QStringLiteral("€")},
};

TEST(FileNameBytes, DecodesAndEncodesEachNameExactly)
{
    for (const NameCase &c : nameCases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(decodeFileName(c.bytes), c.text);
        EXPECT_EQ(encodeFileName(c.text), c.bytes);
    }
}

TEST(FileNameBytes, ALoneSurrogateOutsideTheEscapesIsNoByte)
{
    // U+DC7F would be byte 7F if the range were wrong; no bytes decode to it.
    EXPECT_EQ(encodeFileName(QString(QChar(0xDC7F))), QByteArray("?"));
    EXPECT_EQ(encodeFileName(QString(QChar(0xD800)) + "a"), QByteArray("?a"));
}

QByteArray bytesOf(std::initializer_list<unsigned char> bytes)
{
    QByteArray name;
    for (unsigned char byte : bytes)
        name.append(static_cast<char>(byte));
    return name;
}

// Every name of up to two bytes, and longer ones built from the bytes at the edges of UTF-8's
// ranges, come back byte for byte; where Qt's own check calls the bytes UTF-8 the text is Qt's.
std::vector<QByteArray> sampleNames()
{
    std::vector<QByteArray> names;
    for (int a = 0; a < 256; ++a) {
        names.push_back(bytesOf({static_cast<unsigned char>(a)}));
        for (int b = 0; b < 256; ++b)
            names.push_back(bytesOf({static_cast<unsigned char>(a), static_cast<unsigned char>(b)}));
    }
    const unsigned char edges[] = {0x00, 0x41, 0x7f, 0x80, 0x8f, 0x90, 0x9f, 0xa0, 0xbf, 0xc0, 0xff};
    for (int lead = 0xc0; lead < 256; ++lead)
        for (unsigned char second : edges)
            for (unsigned char third : edges)
                for (unsigned char fourth : edges)
                    names.push_back(bytesOf({static_cast<unsigned char>(lead), second, third, fourth}));
    return names;
}

TEST(FileNameBytes, EveryNameRoundTripsAndValidUtf8ReadsAsQtReadsIt)
{
    for (const QByteArray &bytes : sampleNames()) {
        const QString text = decodeFileName(bytes);
        ASSERT_EQ(encodeFileName(text), bytes) << bytes.toHex(' ').toStdString();
        // (Qt drops a leading byte order mark.)
        if (QByteArrayView(bytes).isValidUtf8() && !bytes.startsWith("\xef\xbb\xbf")) {
            ASSERT_EQ(text, QString::fromUtf8(bytes)) << bytes.toHex(' ').toStdString();
        }
    }
}

} // namespace
} // namespace pagemint
