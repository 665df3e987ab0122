#pragma once
// A job in the real windows with the built helpers, or with a converter of the test's own that
// stands for one phase of a job, so that a test can end or cancel the job in that phase.
#include "EngineFixture.h"
#include "OtherFileSystem.h"

#include "contract/StagingFolder.h"
#include "conversion/DecoderProcess.h"
#include "conversion/StagingPaths.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QTemporaryDir>

#include <memory>

namespace pagemint::test {

enum class Converter {
    Built,               // the real pdf.exe
    RunsUntilEnded,      // a pdf.exe that works for half a minute
    WritesAHugeDocument, // a pdf.exe that leaves a tmp.pdf of a gigabyte, whose copy takes seconds
    // A pdf.exe that leaves its hidden temporary in the staging folder, prints a line and then
    // works for half a minute.
    LeavesATemporaryThenRuns,
};

// A helper that notes its process id beside itself, then works until it is ended.
inline const QByteArray runsUntilEnded = "#!/bin/sh\necho $$ > \"$0.pid\"\nexec sleep 30\n";

inline QString writeScript(const QString &path, const QByteArray &text)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text);
    file.close();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

class JobFixture : public EngineFixture {
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        // The step after loading clears the staging folder; let it run before any job.
        finishLoading();
        out_ = env_.root() + QStringLiteral("/out");
        txtPath()->setText(out_);
    }
    void TearDown() override
    {
        setDecoderPathForTesting({});
        EngineFixture::TearDown();
    }

    QStringList pictures(int count, const char *format)
    {
        QDir().mkpath(env_.root() + QStringLiteral("/pics"));
        QStringList paths;
        for (int i = 0; i < count; ++i) {
            QImage image(64, 48, QImage::Format_RGB32);
            image.fill(QColor(200, 40, 40));
            paths << env_.root() + QStringLiteral("/pics/p%1.%2").arg(i).arg(QString::fromLatin1(format).toLower());
            image.save(paths.constLast(), format);
        }
        return paths;
    }

    // Call from prepareApplicationFolder(): the built helpers, but a converter of the test's own.
    void installConverter(Converter converter)
    {
        if (converter == Converter::Built)
            return;
        const QString data = appFolder_ + QStringLiteral("/data");
        QFile::remove(data);
        QDir().mkpath(data);
        for (const char *helper : {"pagemint-decoder", "pagemint-fallback-decoder"}) {
            const QString name = u'/' + QLatin1String(helper);
            QFile::link(QStringLiteral(PAGEMINT_APP_DIR "/data") + name, data + name);
        }
        const QByteArray staging = QFile::encodeName(fromFsPath(stagingFolder())) + '/';
        QByteArray script = runsUntilEnded;
        if (converter == Converter::WritesAHugeDocument)
            script = "#!/bin/sh\ntruncate -s 1G '" + staging + "tmp.pdf'\n";
        if (converter == Converter::LeavesATemporaryThenRuns)
            script = "#!/bin/sh\necho $$ > \"$0.pid\"\n: > '" + staging + ".tmp.pdf.Zq3x9a'\necho 'Page 1'\n" +
                     "exec sleep 30\n";
        helpers_ << writeScript(data + QStringLiteral("/pdf.exe"), script);
    }

    // The output folder on a tmpfs, where the document is copied rather than renamed in a moment;
    // false when there is no tmpfs apart from the test's folder.
    bool outputOnAnotherFileSystem()
    {
        const QString tmpfs = tmpfsApartFrom(env_.root());
        if (tmpfs.isEmpty())
            return false;
        outputTmpfs_ = std::make_unique<QTemporaryDir>(tmpfs + QStringLiteral("/pagemint-out-XXXXXX"));
        if (!outputTmpfs_->isValid())
            return false;
        out_ = outputTmpfs_->path() + QStringLiteral("/out");
        txtPath()->setText(out_);
        return true;
    }

    // Process ids the fake helpers noted.
    QList<qint64> helperProcesses() const
    {
        QList<qint64> pids;
        for (const QString &helper : helpers_) {
            QFile noted(helper + QStringLiteral(".pid"));
            if (noted.open(QIODevice::ReadOnly))
                pids << noted.readAll().trimmed().toLongLong();
        }
        return pids;
    }

    QString out_;
    QStringList helpers_;
    std::unique_ptr<QTemporaryDir> outputTmpfs_;
};

} // namespace pagemint::test
