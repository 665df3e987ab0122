#include "settings/SettingsFile.h"
#include "support/FileAccessAsNobody.h"
#include "support/LogCapture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

namespace pagemint {
namespace {

using test::FileAccessAsNobody;
using test::LogCapture;

// A failure the user is not shown leaves one line naming the settings file and the reason.
void expectOneLineAbout(const LogCapture &log, const QString &path, const QString &reason)
{
    test::expectOneLine(log, QStringLiteral("pagemint.settings"), {path, reason});
}

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
        {"empty folder line", "\r\n1\r\n", QString(), 1},
        {"spaces only on the folder line", "  \r\n0\r\n", QString(), 0},
        {"mode not a number", "/out\r\nx\r\n", QStringLiteral("/out"), std::nullopt},
        {"mode out of range", "/out\r\n2\r\n", QStringLiteral("/out"), std::nullopt},
        {"mode not whole", "/out\r\n1.5\r\n", QStringLiteral("/out"), std::nullopt},
        {"mode line empty", "/out\r\n\r\n", QStringLiteral("/out"), std::nullopt},
        {"mode with spaces around", "/out\r\n 0 \r\n", QStringLiteral("/out"), 0},
        {"Chinese folder in UTF-8", "/数据/输出\r\n0\r\n", QStringLiteral("/数据/输出"), 0},
        {"Latin-1 folder", "/data/caf\xE9\r\n0\r\n", QStringLiteral("/data/caf") + QChar(0xDCE9), 0},
    };
    for (const Case &c : cases) {
        putFile(c.bytes);
        const StoredSettings read = readSettingsFile(path());
        EXPECT_TRUE(read.found) << c.what;
        EXPECT_EQ(read.outputFolder, c.folder) << c.what;
        EXPECT_EQ(read.modeIndex, c.mode) << c.what;
    }
}

TEST_F(SettingsFileTest, AFolderNameThatIsNotUtf8KeepsItsBytes)
{
    const QByteArray latin1 = "/data/caf\xE9 \xC0 la carte\r\n1\r\n";
    putFile(latin1);
    const StoredSettings read = readSettingsFile(path());
    ASSERT_TRUE(read.outputFolder.has_value());
    ASSERT_TRUE(writeSettingsFile(path(), *read.outputFolder, 1));
    EXPECT_EQ(fileBytes(), latin1);
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
        QStringLiteral("/data/a,b"), // the comma once cut the folder and switched the mode
        QStringLiteral("/home/u/my pictures"), QStringLiteral("/home/u/数据/输出"), QStringLiteral("C:\\Output"),
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
    const LogCapture log;
    EXPECT_FALSE(writeSettingsFile(path(), QStringLiteral("/a\nb"), 1));
    EXPECT_EQ(fileBytes(), QByteArray("/old\r\n0\r\n"));
    expectOneLineAbout(log, path(), QStringLiteral("line break"));
}

class SettingsFileInAReadOnlyFolder : public SettingsFileTest {
protected:
    void SetUp() override { putFile("/old\r\n0\r\n"); }
    void TearDown() override { QFile::setPermissions(dir_.path(), readOnly | QFile::WriteOwner); }
    // Writes as user "nobody" (root would ignore the folder's mode) into the folder made read-only.
    bool writeAsNobody(QFile::Permissions filePermissions)
    {
        EXPECT_TRUE(QFile::setPermissions(path(), filePermissions));
        EXPECT_TRUE(QFile::setPermissions(dir_.path(), readOnly));
        const FileAccessAsNobody nobody;
        return writeSettingsFile(path(), QStringLiteral("/new"), 1);
    }
    static constexpr auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
};

TEST_F(SettingsFileInAReadOnlyFolder, AWritableFileIsWrittenInPlace)
{
    // No new file can be made beside it, so the whole-or-nothing rename is out of reach.
    const LogCapture log;
    EXPECT_TRUE(writeAsNobody(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther));
    EXPECT_EQ(fileBytes(), QByteArray("/new\r\n1\r\n"));
    // The way round the folder is no failure.
    EXPECT_TRUE(log.warnings().isEmpty()) << log.warnings().join(u'\n').toStdString();
}

TEST_F(SettingsFileInAReadOnlyFolder, AReadOnlyFileFailsAndIsKept)
{
    const LogCapture log;
    EXPECT_FALSE(writeAsNobody(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    EXPECT_EQ(fileBytes(), QByteArray("/old\r\n0\r\n"));
    expectOneLineAbout(log, path(), QStringLiteral("permission denied"));
}

TEST_F(SettingsFileTest, AFileThatCannotBeReadIsFoundButGivesNoFields)
{
    putFile("/old\r\n0\r\n");
    // "nobody" may look into the folder, but not read the file.
    ASSERT_TRUE(QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                       QFile::ReadOther | QFile::ExeOther));
    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner));
    StoredSettings read;
    const LogCapture log;
    {
        const FileAccessAsNobody nobody;
        read = readSettingsFile(path());
    }
    EXPECT_TRUE(read.found);
    EXPECT_FALSE(read.outputFolder.has_value());
    EXPECT_FALSE(read.modeIndex.has_value());
    expectOneLineAbout(log, path(), QStringLiteral("permission denied"));
}

} // namespace
} // namespace pagemint
