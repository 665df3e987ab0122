#pragma once

#include <QDir>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

namespace skingen {

// Writes the generated files under one folder and remembers what went into the resource file.
// Every write is checked; failures are collected rather than stopping at the first.
class ResourceWriter {
public:
    explicit ResourceWriter(const QString &root);

    // `path` is relative to the root; the format follows its extension. In the resource file the
    // picture is known by its file name alone, under the /skin prefix.
    void picture(const QImage &image, const QString &path, bool inResources = true);
    void icon(const QList<QImage> &sizes, const QString &path);
    void text(const QByteArray &content, const QString &path);
    void resourceFile(const QString &path);

    const QStringList &errors() const { return m_errors; }
    const QStringList &written() const { return m_written; }

private:
    bool prepare(const QString &path);

    QDir m_root;
    QStringList m_resources;
    QStringList m_errors;
    QStringList m_written;
};

} // namespace skingen
