#pragma once
// The order in which a folder's entries are searched and a list is sorted by name: the order a
// person reads, Chinese names included.

#include <QString>
#include <QStringList>

namespace pagemint {

// Negative, zero or positive as `a` sorts before, with or after `b`. Runs of digits compare by their
// value (img2 before img10, however long the run), and so do runs of Chinese numerals (第二页 before
// 第十页 before 第十一页 before 第二十页; 二〇二四 reads as 2024), against each other and against
// digits; a number sorts where the digit 0 would among other characters. Other characters compare
// without case: ASCII by code, then every other character, in pinyin order for Chinese (QCollator
// for zh_CN, whatever the program's locale). Names that differ only in case, leading zeros or the
// way a number is written are ordered by fewer leading zeros, then by their exact characters, so
// only equal names compare equal and a sort gives one order whatever order it was given.
int naturalCompare(const QString &a, const QString &b);

inline bool naturalLess(const QString &a, const QString &b)
{
    return naturalCompare(a, b) < 0;
}

// The value of a run of Chinese numerals (一 to 九, 〇/零, 两, 十 百 千 万 亿), as decimal digits
// without leading zeros ("0" for zero). Runs with a unit read as counted (二十一 is 21, 一百零五 is
// 105, 十万 is 100000); runs of bare digits read digit by digit (二〇二四 is 2024). Values beyond
// 64 bits are held at the largest one. "" when `run` holds anything else.
QString chineseNumeralValue(QStringView run);

// Whether `c` is one of the characters chineseNumeralValue reads.
bool isChineseNumeral(QChar c);

// A path cut at its separators once, for sorting many paths by naturalPathCompare.
struct NaturalPathKey {
    QStringList folders;
    QString name;
    QString path;
};
NaturalPathKey naturalPathKey(const QString &path);

// Natural order of two paths, folder by folder: the folders' names compare by naturalCompare, a
// folder's own files come before those of its subfolders, then the files' names decide. A list
// sorted so keeps each folder's pictures together in the order the folder scan adds them.
int naturalPathCompare(const NaturalPathKey &a, const NaturalPathKey &b);

} // namespace pagemint
