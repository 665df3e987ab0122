#pragma once
// Small programs the process tests start: shell scripts named like the converter, and copies of
// system tools under chosen names. The kernel records a script's own file name as the process
// name, so a script called pdf.exe is found by name like the real converter.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace pagemint::test {

class FakePrograms {
public:
    // Writes an executable `/bin/sh` script with `body` to `relativePath`; returns its path.
    QString script(const QString &relativePath, const QByteArray &body) const;
    // Copies the executable `source` (e.g. /bin/sleep) to `relativePath`; returns its path.
    QString copy(const QString &source, const QString &relativePath) const;
    // Writes a data file the scripts can print; returns its path.
    QString data(const QString &relativePath, const QByteArray &bytes) const;
    QString root() const { return m_dir.path(); }

private:
    QString prepare(const QString &relativePath) const;

    QTemporaryDir m_dir;
};

// `count` bytes of printable text that change from byte to byte, so order and gaps show.
QByteArray patternBytes(qsizetype count);

} // namespace pagemint::test
