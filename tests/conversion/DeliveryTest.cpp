// Putting a file in place through a temporary file of ours.
#include "conversion/Delivery.h"
#include "conversion/DeliveryTemporary.h"
#include "support/FileAccessAsNobody.h"
#include "support/FileBytes.h"
#include "support/LogCapture.h"
#include "support/OtherFileSystem.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace pagemint::test {
namespace {

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

TEST(Delivery, WritesThroughItsOwnTemporaryFileAndLeavesUsersFilesAlone)
{
    TestEnvironment env;
    const QString source = env.writeFile(QStringLiteral("staging/tmp.pdf"), "new document");
    const QString out = env.root() + QStringLiteral("/out");
    // Names a suffix-based temporary file would have taken over.
    const QString userPart = env.writeFile(QStringLiteral("out/NewPDF.pdf.part"), "user's own");
    const QString longName = out + u'/' + QString(251, u'n') + QStringLiteral(".pdf"); // 255 bytes
    for (const QString &target : {out + QStringLiteral("/NewPDF.pdf"), longName}) {
        SCOPED_TRACE(target.size());
        std::error_code error;

        ASSERT_TRUE(deliverFile(source, target, &error)) << error.message();

        EXPECT_EQ(bytesOf(target), QByteArray("new document"));
    }
    EXPECT_EQ(bytesOf(userPart), QByteArray("user's own"));
    EXPECT_EQ(entriesOf(out), (QStringList{QStringLiteral("NewPDF.pdf"), QStringLiteral("NewPDF.pdf.part"),
                                           QFileInfo(longName).fileName()}));
}

TEST(Delivery, KeepingExistingFilesNeverReplacesOneAndLeavesNoTemporary)
{
    TestEnvironment env;
    const QString source = env.writeFile(QStringLiteral("staging/tmp.pdf"), "new document");
    const QString taken = env.writeFile(QStringLiteral("out/doc.pdf"), "another run's");
    const QString out = env.root() + QStringLiteral("/out");
    std::error_code error;

    EXPECT_FALSE(deliverFile(source, taken, &error, {}, Existing::Keep));
    EXPECT_EQ(error, std::errc::file_exists);
    EXPECT_EQ(bytesOf(taken), QByteArray("another run's"));
    EXPECT_EQ(entriesOf(out), QStringList{QStringLiteral("doc.pdf")});

    ASSERT_TRUE(deliverFile(source, out + QStringLiteral("/doc1.pdf"), &error, {}, Existing::Keep)) << error.message();
    EXPECT_EQ(bytesOf(out + QStringLiteral("/doc1.pdf")), QByteArray("new document"));
    EXPECT_EQ(entriesOf(out), (QStringList{QStringLiteral("doc.pdf"), QStringLiteral("doc1.pdf")}));
}

struct stat statusOf(const QString &path)
{
    struct stat status {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return status;
}

// The merged document is moved into the output folder on its own file system and copied onto
// another; either way the same file arrives, the staged one is gone, no temporary stays.
TEST(Delivery, AMovedSourceArrivesTheSameWhetherRenamedOrCopied)
{
    TestEnvironment env;
    const QString tmpfs = tmpfsApartFrom(env.root());
    if (tmpfs.isEmpty())
        GTEST_SKIP() << "no tmpfs at /dev/shm apart from the test's folder";
    QTemporaryDir onTmpfs(tmpfs + QStringLiteral("/pagemint-delivery-XXXXXX"));
    ASSERT_TRUE(onTmpfs.isValid());
    const QByteArray document = QByteArray("%PDF-1.7 ") + QByteArray(3 << 20, 'x'); // several pieces of a copy
    const struct {
        const char *name;
        QString out;
        bool renamed;
    } cases[] = {
        {"same file system", env.root() + QStringLiteral("/out"), true},
        {"tmpfs", onTmpfs.path() + QStringLiteral("/out"), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString source = env.writeFile(QStringLiteral("staging/tmp.pdf"), document);
        ASSERT_TRUE(QFile::setPermissions(source, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        const struct stat staged = statusOf(source);
        ASSERT_TRUE(QDir().mkpath(c.out));
        const QString target = c.out + QStringLiteral("/NewPDF.pdf");
        std::error_code error;

        ASSERT_TRUE(deliverFile(source, target, &error, {}, Existing::Replace, Source::Move)) << error.message();

        EXPECT_EQ(bytesOf(target), document);
        const struct stat delivered = statusOf(target);
        EXPECT_EQ(delivered.st_mode, staged.st_mode);
        EXPECT_EQ(delivered.st_dev == staged.st_dev && delivered.st_ino == staged.st_ino, c.renamed);
        EXPECT_FALSE(QFile::exists(source));
        EXPECT_EQ(entriesOf(c.out), QStringList{QStringLiteral("NewPDF.pdf")});
    }
}

// A name another run took keeps its file; the staged document stays to be delivered under another.
TEST(Delivery, AMovedSourceThatFindsItsNameTakenStaysWhereItWas)
{
    TestEnvironment env;
    const QString source = env.writeFile(QStringLiteral("staging/tmp.pdf"), "new document");
    const QString taken = env.writeFile(QStringLiteral("out/doc.pdf"), "another run's");
    std::error_code error;

    EXPECT_FALSE(deliverFile(source, taken, &error, {}, Existing::Keep, Source::Move));

    EXPECT_EQ(error, std::errc::file_exists);
    EXPECT_EQ(bytesOf(source), QByteArray("new document"));
    EXPECT_EQ(bytesOf(taken), QByteArray("another run's"));
    EXPECT_EQ(entriesOf(env.root() + QStringLiteral("/out")), QStringList{QStringLiteral("doc.pdf")});
}

TEST(Delivery, AFailedDeliveryLeavesNothingAndSaysWhy)
{
    TestEnvironment env;
    const QString source = env.writeFile(QStringLiteral("staging/tmp.pdf"), "new document");
    const QString folderInTheWay = env.root() + QStringLiteral("/out/NewPDF.pdf");
    QDir().mkpath(folderInTheWay);
    const struct {
        QString source;
        QString target;
        std::errc reason;
    } cases[] = {
        {source, env.root() + QStringLiteral("/missing/NewPDF.pdf"), std::errc::no_such_file_or_directory},
        {env.root() + QStringLiteral("/gone.pdf"), env.root() + QStringLiteral("/out/a.pdf"),
         std::errc::no_such_file_or_directory},
        {source, folderInTheWay, std::errc::is_a_directory},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.target.toStdString());
        std::error_code error;

        EXPECT_FALSE(deliverFile(c.source, c.target, &error));

        EXPECT_EQ(error, std::make_error_code(c.reason)) << error.message();
        EXPECT_EQ(entriesOf(env.root() + QStringLiteral("/out")), QStringList{QStringLiteral("NewPDF.pdf")});
    }
}

TEST(Delivery, TheNextJobRemovesOnlyTemporaryFilesOfOurs)
{
    TestEnvironment env;
    const QString out = env.root() + QStringLiteral("/out");
    QDir().mkpath(out + QStringLiteral("/.pagemint-abcdef")); // a folder is never ours
    for (const char *name :
         {"out/.pagemint-Ab12Cd", "out/.pagemint-notes.txt", "out/.pagemint-abc12", "out/report.pdf"})
        env.writeFile(QString::fromLatin1(name), "x");
    std::error_code error;
    const std::filesystem::path made = makeDeliveryTemporary(out.toStdString(), error);
    ASSERT_FALSE(error) << error.message();
    EXPECT_TRUE(isDeliveryTemporaryName(made.filename().string())) << made;

    removeStrandedDeliveryTemporaries(out.toStdString());

    EXPECT_EQ(entriesOf(out), (QStringList{QStringLiteral(".pagemint-abc12"), QStringLiteral(".pagemint-abcdef"),
                                           QStringLiteral(".pagemint-notes.txt"), QStringLiteral("report.pdf")}));
}

TEST(Delivery, AStrandedTemporaryThatCannotBeRemovedLeavesALine)
{
    TestEnvironment env;
    const QString out = env.root() + QStringLiteral("/out");
    const QString stranded = env.writeFile(QStringLiteral("out/.pagemint-Ab12Cd"), "x");
    // "nobody" may list the folder but not remove from it.
    ASSERT_TRUE(QFile::setPermissions(out, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                               QFile::ExeOther));
    ASSERT_TRUE(QFile::setPermissions(env.root(), QFile::permissions(env.root()) | QFile::ExeOther));
    const LogCapture log;
    {
        const FileAccessAsNobody nobody;
        removeStrandedDeliveryTemporaries(out.toStdString());
    }
    EXPECT_TRUE(QFile::exists(stranded));
    expectOneLine(log, QStringLiteral("pagemint.conversion"), {stranded, QStringLiteral("permission denied")});
}

} // namespace
} // namespace pagemint::test
