// The ways writing the PDF can fail now that the converter copies each picture's bytes itself:
// a picture changed between its check and its copy, a file system that fills up (on the copy by
// the kernel and on the read/write fallback), a PDF too large for its cross-reference table.
// Each must end in exit status 3 with no PDF and no temporary file left.
#include "ConverterChecks.h"
#include "ConverterRun.h"
#include "TestJpegs.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace pagemint::test;

namespace {

// Files in `folder`, hidden ones included (the converter's temporary name starts with a dot).
QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// Reads `fd` until `text` has arrived or 20 s pass; returns everything read.
std::string readUntil(int fd, const std::string &text)
{
    std::string got;
    char buffer[4096];
    pollfd p{fd, POLLIN, 0};
    while (got.find(text) == std::string::npos && ::poll(&p, 1, 20000) > 0) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        got.append(buffer, std::size_t(n));
    }
    return got;
}

std::string readAll(int fd)
{
    std::string got;
    char buffer[65536];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        got.append(buffer, std::size_t(n));
    return got;
}

// Fills a pipe to the brim, so the next line written into it waits until the pipe is read.
void fill(int writeEnd)
{
    const int flags = ::fcntl(writeEnd, F_GETFL);
    ::fcntl(writeEnd, F_SETFL, flags | O_NONBLOCK);
    const std::string block(4096, '.');
    while (::write(writeEnd, block.data(), block.size()) > 0) {
    }
    while (::write(writeEnd, ".", 1) > 0) {
    }
    ::fcntl(writeEnd, F_SETFL, flags); // the converter's writes must wait, not fail
}

struct ChangeCase {
    const char *name;
    std::function<void(const std::filesystem::path &)> change;
};

} // namespace

TEST(ConverterWrite, APictureChangedAfterItsCheckFailsThePdf)
{
    const ChangeCase cases[] = {
        {"grown",
         [](const std::filesystem::path &p) { std::filesystem::resize_file(p, std::filesystem::file_size(p) + 100); }},
        {"cut",
         [](const std::filesystem::path &p) { std::filesystem::resize_file(p, std::filesystem::file_size(p) / 2); }},
        {"emptied", [](const std::filesystem::path &p) { std::filesystem::resize_file(p, 0); }},
    };
    for (const ChangeCase &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString first = dir.filePath(QStringLiteral("a.jpg")), out = dir.filePath(QStringLiteral("out.pdf"));
        writeFile(first, qtJpeg(quadrantPicture(64, 48)));
        writeFile(dir.filePath(QStringLiteral("b.jpg")), qtJpeg(quadrantPicture(32, 32)));
        // Checked last: its left-out line says every picture has been checked.
        writeFile(dir.filePath(QStringLiteral("z.jpg")), "not a picture");

        // stdout is a full pipe, so the converter waits on the progress line of a.jpg, after the
        // checks and before the copy: the change lands between the two.
        int outPipe[2], errPipe[2];
        ASSERT_EQ(::pipe2(outPipe, O_CLOEXEC), 0);
        ASSERT_EQ(::pipe2(errPipe, O_CLOEXEC), 0);
        fill(outPipe[1]);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
        posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
        std::vector<std::string> argStore{PAGEMINT_CONVERTER,
                                          "--out",
                                          out.toStdString(),
                                          first.toStdString(),
                                          dir.filePath(QStringLiteral("b.jpg")).toStdString(),
                                          dir.filePath(QStringLiteral("z.jpg")).toStdString()};
        std::vector<char *> argv;
        argv.reserve(argStore.size() + 1);
        for (std::string &a : argStore)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(outPipe[1]);
        ::close(errPipe[1]);

        std::string errors = readUntil(errPipe[0], "left-out:z.jpg:");
        ASSERT_NE(errors.find("left-out:z.jpg:"), std::string::npos) << errors;
        c.change(first.toStdString());
        readAll(outPipe[0]);
        errors += readAll(errPipe[0]);
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 3) << errors;
        EXPECT_NE(errors.find("a.jpg: 文件在读取时被修改"), std::string::npos) << errors;
        EXPECT_EQ(filesIn(dir.path()),
                  (QStringList{QStringLiteral("a.jpg"), QStringLiteral("b.jpg"), QStringLiteral("z.jpg")}));
    }
}

namespace {

struct DiskCase {
    const char *name;
    int size;            // of the file system the PDF goes to, in pictures (0: plenty)
    bool picturesInside; // the pictures on that file system too (the kernel copies), or elsewhere
    int exitCode;
};

} // namespace

// The PDF goes to a small tmpfs in a mount namespace of its own (root in CI; elsewhere the user
// namespace `unshare -r` makes). The script prints the converter's exit status and what the file
// system holds afterwards, and keeps a copy of the PDF, since the mount goes with the namespace.
TEST(ConverterWrite, AFullFileSystemLeavesNoPdf)
{
    const DiskCase cases[] = {
        {"room, pictures elsewhere", 0, false, 0},
        {"room, pictures beside the PDF", 0, true, 0},
        {"full, pictures elsewhere", 2, false, 3},
        {"full, pictures beside the PDF", 4, true, 3},
    };
    const QByteArray picture = noisyJpeg(160, 120);
    const int pages = 8; // the script lists the picture 8 times
    const QString script = QStringLiteral(
        "mount -t tmpfs -o size=\"$2\" pagemint-test \"$1\" || exit 97\n"
        "p=$3\n"
        "if [ \"$4\" = inside ]; then cp \"$3\" \"$1/p.jpg\" || exit 98; p=$1/p.jpg; fi\n"
        "\"$CONVERTER\" --out \"$1/out.pdf\" \"$p\" \"$p\" \"$p\" \"$p\" \"$p\" \"$p\" \"$p\" \"$p\" > /dev/null\n"
        "echo \"exit $?\"\n"
        "ls -A \"$1\"\n"
        "if [ -e \"$1/out.pdf\" ]; then cp \"$1/out.pdf\" \"$5\"; fi\n");
    for (const DiskCase &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString mountPoint = dir.filePath(QStringLiteral("small"));
        ASSERT_TRUE(QDir().mkpath(mountPoint));
        writeFile(dir.filePath(QStringLiteral("p.jpg")), picture);
        const QString kept = dir.filePath(QStringLiteral("kept.pdf"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("CONVERTER"), QStringLiteral(PAGEMINT_CONVERTER));
        QStringList args{QStringLiteral("-m")};
        if (::geteuid() != 0)
            args.prepend(QStringLiteral("-r"));
        args << QStringLiteral("sh") << QStringLiteral("-c") << script << QStringLiteral("sh") << mountPoint
             << (c.size == 0 ? QStringLiteral("16m") : QString::number(c.size * picture.size()))
             << dir.filePath(QStringLiteral("p.jpg")) << QString::fromLatin1(c.picturesInside ? "inside" : "outside")
             << kept;
        const ProcessResult run = runProcess(QStringLiteral("unshare"), args, env);
        ASSERT_TRUE(run.finished);
        if (run.exitCode == 97 || run.exitCode == 1)
            GTEST_SKIP() << "cannot mount a tmpfs here: " << run.err.toStdString();
        const QStringList report = lines(run.out);
        ASSERT_FALSE(report.isEmpty()) << run.err.toStdString();
        EXPECT_EQ(report.first(), QStringLiteral("exit %1").arg(c.exitCode)) << run.err.toStdString();
        const QStringList left = report.mid(1);
        if (c.exitCode == 0) {
            expectCleanPdf(kept);
            EXPECT_EQ(extractedJpegs(kept), QList<QByteArray>(pages, picture));
        } else {
            EXPECT_TRUE(run.err.contains(QLatin1String("No space left on device"))) << run.err.toStdString();
            EXPECT_EQ(left, c.picturesInside ? QStringList{QStringLiteral("p.jpg")} : QStringList{}) << "left behind";
            EXPECT_FALSE(QFile::exists(kept));
        }
    }
}

// A PDF's cross-reference table holds offsets of ten digits: past 10 GB the converter refuses
// before writing anything. A sparse file makes the 10 GB picture without the disk space.
TEST(ConverterWrite, RefusesAPdfPastTenGigabytes)
{
    QTemporaryDir dir;
    const QString big = dir.filePath(QStringLiteral("big.jpg")), out = dir.filePath(QStringLiteral("out.pdf"));
    const QByteArray jpeg = qtJpeg(quadrantPicture(16, 16));
    writeFile(big, jpeg);
    const std::uintmax_t size = 10'000'000'000ull;
    std::filesystem::resize_file(big.toStdString(), size);
    {
        QFile file(big); // the end marker again at the very end: the check passes
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.seek(qint64(size) - 2));
        file.write("\xFF\xD9", 2);
    }
    const ProcessResult run = runConverter({QStringLiteral("--out"), out, big});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 3) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QLatin1String("too large for one PDF"))) << run.err.toStdString();
    EXPECT_EQ(filesIn(dir.path()), QStringList{QStringLiteral("big.jpg")});
}
