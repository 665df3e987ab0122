#include "settings/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

#include <sys/fsuid.h>
#include <unistd.h>

namespace pagemint {
namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    QString path() const { return dir_.filePath(QStringLiteral("setting.dll")); }

    void putFile(const QByteArray &bytes) const
    {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QByteArray fileBytes() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    QTemporaryDir dir_;
};

TEST_F(SettingsFileTest, ReadsTheFolderLineWholeAndTheModeLine)
{
    struct Case {
        const char *what;
        QByteArray bytes;
        std::optional<QString> folder;
        std::optional<int> mode;
    };
    const Case cases[] = {
        {"normal", "/home/u/Output\r\n1\r\n", QStringLiteral("/home/u/Output"), 1},
        {"LF line ends", "/home/u/Output\n0\n", QStringLiteral("/home/u/Output"), 0},
        {"no line end after the mode", "/out\r\n-1", QStringLiteral("/out"), -1},
        {"comma in the folder", "/data/a,b\r\n0\r\n", QStringLiteral("/data/a,b"), 0},
        {"quoted folder", "\"C:\\a b\"\r\n-1\r\n", QStringLiteral("C:\\a b"), -1},
        {"leading spaces and tabs", " \t /out\r\n1\r\n", QStringLiteral("/out"), 1},
        {"one line with its line end", "/out\r\n", QStringLiteral("/out"), std::nullopt},
        {"one line without a line end", "/out", QStringLiteral("/out"), std::nullopt},
        {"empty file", "", std::nullopt, std::nullopt},
        {"empty folder line", "\r\n1\r\n", std::nullopt, 1},
        {"mode not a number", "/out\r\nx\r\n", QStringLiteral("/out"), std::nullopt},
        {"mode out of range", "/out\r\n2\r\n", QStringLiteral("/out"), std::nullopt},
        {"mode not whole", "/out\r\n1.5\r\n", QStringLiteral("/out"), std::nullopt},
        {"mode line empty", "/out\r\n\r\n", QStringLiteral("/out"), std::nullopt},
        {"mode with spaces around", "/out\r\n 0 \r\n", QStringLiteral("/out"), 0},
        {"Chinese folder in UTF-8", "/数据/输出\r\n0\r\n", QStringLiteral("/数据/输出"), 0},
    };
    for (const Case &c : cases) {
        putFile(c.bytes);
        const StoredSettings read = readSettingsFile(path());
        EXPECT_TRUE(read.found) << c.what;
        EXPECT_EQ(read.outputFolder, c.folder) << c.what;
        EXPECT_EQ(read.modeIndex, c.mode) << c.what;
    }
}

TEST_F(SettingsFileTest, OnlyARegularFileCountsAsFound)
{
    EXPECT_FALSE(readSettingsFile(path()).found) << "missing";
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("setting.dll")));
    const StoredSettings folder = readSettingsFile(path());
    EXPECT_FALSE(folder.found) << "a folder with the file's name";
    EXPECT_FALSE(folder.outputFolder.has_value());
}

TEST_F(SettingsFileTest, WritesExactlyTwoCrLfLinesOverALongerOldFile)
{
    putFile(QByteArray(500, 'z') + "\r\n0\r\nleftover\r\n");
    ASSERT_TRUE(writeSettingsFile(path(), QStringLiteral("folder"), 1));
    EXPECT_EQ(fileBytes(), QByteArray("folder\r\n1\r\n"));
}

TEST_F(SettingsFileTest, WhatIsWrittenReadsBackTheSame)
{
    const QString folders[] = {
        QStringLiteral("/home/u/Output"),
        QStringLiteral("/data/a,b"),          // the comma once cut the folder and switched the mode
        QStringLiteral("/home/u/my pictures"),
        QStringLiteral("/home/u/数据/输出"),
        QStringLiteral("C:\\Output"),
    };
    for (const QString &folder : folders) {
        for (int mode : {-1, 0, 1}) {
            ASSERT_TRUE(writeSettingsFile(path(), folder, mode)) << folder.toStdString();
            const StoredSettings read = readSettingsFile(path());
            EXPECT_TRUE(read.found);
            EXPECT_EQ(read.outputFolder, folder) << folder.toStdString();
            EXPECT_EQ(read.modeIndex, mode) << folder.toStdString();
        }
    }
}

TEST_F(SettingsFileTest, AFolderWithALineBreakIsRefusedAndTheOldFileKept)
{
    putFile("/old\r\n0\r\n");
    EXPECT_FALSE(writeSettingsFile(path(), QStringLiteral("/a\nb"), 1));
    EXPECT_EQ(fileBytes(), QByteArray("/old\r\n0\r\n"));
}

// Root ignores folder permissions; while this lives, file access is checked as user "nobody".
class FileAccessAsNobody {
public:
    FileAccessAsNobody()
    {
        if (geteuid() == 0) {
            setfsgid(65534);
            setfsuid(65534);
        }
    }
    ~FileAccessAsNobody()
    {
        if (geteuid() == 0) {
            setfsuid(0);
            setfsgid(0);
        }
    }
    FileAccessAsNobody(const FileAccessAsNobody &) = delete;
    FileAccessAsNobody &operator=(const FileAccessAsNobody &) = delete;
};

TEST_F(SettingsFileTest, AWriteIntoAReadOnlyFolderFailsAndKeepsTheOldFile)
{
    putFile("/old\r\n0\r\n");
    // The file itself stays writable: only writing beside it and renaming keeps it whole.
    QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther);
    const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(dir_.path(), readOnly));
    bool written = true;
    {
        const FileAccessAsNobody nobody;
        written = writeSettingsFile(path(), QStringLiteral("/new"), 1);
    }
    QFile::setPermissions(dir_.path(), readOnly | QFile::WriteOwner);
    EXPECT_FALSE(written);
    EXPECT_EQ(fileBytes(), QByteArray("/old\r\n0\r\n"));
}

} // namespace
} // namespace pagemint
