#pragma once
// A private home for a test: HOME, XDG_CACHE_HOME and XDG_RUNTIME_DIR point into a temporary
// folder, so the staging folder, settings and locks are the test's own.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <map>
#include <ostream>

// Readable QString values in GoogleTest messages.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace pagemint::test {

class TestEnvironment {
public:
    TestEnvironment();
    ~TestEnvironment();

    QString home() const { return dir_.path() + QStringLiteral("/home"); }
    QString root() const { return dir_.path(); }
    // Makes a file with `bytes` (parents created); returns its path.
    QString writeFile(const QString &relativePath, const QByteArray &bytes = {}) const;

private:
    QTemporaryDir dir_;
    std::map<QByteArray, QByteArray> saved_;
};

} // namespace pagemint::test
