// A helper started as a program gets the picture, the page and its reason pipe, and none of the
// program's other descriptors: a hostile picture must find nothing else to write to.

#include "conversion/HelperRun.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>

namespace pagemint {
namespace {

TEST(HelperRun, AProgramHoldsOnlyItsThreeStreams)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray script = dir.filePath(QStringLiteral("script")).toLocal8Bit();
    const QByteArray listing = dir.filePath(QStringLiteral("listing")).toLocal8Bit();
    {
        // The shell reads its commands from stdin, where a helper reads the picture, and lists the
        // descriptors it holds on stdout, where a helper writes the page.
        const int fd = open(script.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(fd, 0);
        const char commands[] = "ls /proc/$$/fd\n";
        ASSERT_EQ(write(fd, commands, sizeof commands - 1), static_cast<ssize_t>(sizeof commands - 1));
        close(fd);
    }
    const int picture = open(script.constData(), O_RDONLY | O_CLOEXEC);
    const int page = open(listing.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(picture, 0);
    ASSERT_GE(page, 0);
    // A descriptor of the program's that is not marked close-on-exec, as libraries leave them.
    int leaked[2];
    ASSERT_EQ(pipe(leaked), 0);

    const std::unique_ptr<HelperRun> run = HelperRun::asProgram(QStringLiteral("/bin/sh"), picture, page);
    std::optional<DecoderRun> ended;
    while (!(ended = run->poll()))
        run->wait(std::chrono::milliseconds(1000));

    EXPECT_TRUE(ended->written()) << ended->reason.toStdString();
    QFile file(QString::fromLocal8Bit(listing));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("0\n1\n2\n"));
    for (const int fd : {picture, page, leaked[0], leaked[1]})
        close(fd);
}

} // namespace
} // namespace pagemint
