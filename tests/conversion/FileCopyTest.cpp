#include "FileBytes.h"
#include "TestEnvironment.h"

#include "conversion/FileCopy.h"

#include <QFile>

#include <gtest/gtest.h>

#include <system_error>

namespace pagemint::test {
namespace {

TEST(CopyFileInPieces, PausesBetweenPiecesOnlyAndStopsWhenAsked)
{
    constexpr qsizetype piece = qsizetype{8} << 20;
    struct Case {
        const char *name;
        qsizetype size;
        int stopAtCall; // the call of betweenPieces that answers false; 0: none does
        bool copied;
        int calls;
    };
    const Case cases[] = {
        {"empty", 0, 0, true, 0},
        {"one piece", 1000, 1, true, 0},
        {"exactly one piece", piece, 1, true, 0},
        {"three pieces", 2 * piece + 5, 0, true, 2},
        {"stopped before the second piece", 2 * piece + 5, 1, false, 1},
    };
    TestEnvironment env;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray bytes(c.size, Qt::Uninitialized);
        for (qsizetype i = 0; i < c.size; ++i)
            bytes[i] = static_cast<char>(i * 7 % 251);
        const QString from = env.writeFile(QStringLiteral("from"), bytes);
        QFile::setPermissions(from, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        const QString to = env.root() + QStringLiteral("/to");
        int calls = 0;
        std::error_code error;

        const bool copied = copyFileInPieces(
            from.toStdString(), to.toStdString(), [&] { return ++calls != c.stopAtCall; }, error);

        EXPECT_EQ(copied, c.copied);
        EXPECT_EQ(calls, c.calls);
        if (c.copied) {
            EXPECT_FALSE(error) << error.message();
            EXPECT_EQ(bytesOf(to), bytes);
            EXPECT_EQ(QFile::permissions(to), QFile::permissions(from));
        } else {
            EXPECT_EQ(error, std::errc::operation_canceled);
        }
    }
}

TEST(CopyFileInPieces, AMissingSourceIsNamedByTheSystemsReason)
{
    TestEnvironment env;
    std::error_code error;
    EXPECT_FALSE(copyFileInPieces((env.root() + QStringLiteral("/none")).toStdString(),
                                  (env.root() + QStringLiteral("/to")).toStdString(), {}, error));
    EXPECT_EQ(error, std::errc::no_such_file_or_directory);
}

} // namespace
} // namespace pagemint::test
