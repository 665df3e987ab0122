#pragma once
// What the fake recogniser (FakeRecognizer.cpp) noted of its runs, for the staging and job tests.

#include "FakeRecognizerWord.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

#include <algorithm>

namespace pagemint::test {

struct FakeRecognizerRun {
    QString word; // the page's fakeTextWord
    qint64 pid = 0;
    QString threads; // OMP_THREAD_LIMIT as the run saw it
    quint64 addressSpaceCap = 0;
    QStringList arguments;
};

struct FakeRecognizerLog {
    QList<FakeRecognizerRun> started;
    // Most runs between their start and their end at any one time.
    int mostAtOnce = 0;
};

inline FakeRecognizerLog readFakeRecognizerLog(const QString &path)
{
    FakeRecognizerLog log;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return log;
    int running = 0;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QStringList words = QString::fromUtf8(line).split(u' ', Qt::SkipEmptyParts);
        if (words.size() >= 5 && words[0] == QStringLiteral("start")) {
            log.started.push_back({words[1], words[2].toLongLong(), words[3], words[4].toULongLong(), words.mid(5)});
            log.mostAtOnce = std::max(log.mostAtOnce, ++running);
        } else if (words.size() == 2 && words[0] == QStringLiteral("end")) {
            --running;
        }
    }
    return log;
}

inline QString fakeTextWord(const QByteArray &page)
{
    return QString::fromStdString(fakeTextWord(std::string_view(page.constData(), std::size_t(page.size()))));
}

} // namespace pagemint::test
