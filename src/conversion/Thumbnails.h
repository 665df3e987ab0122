#pragma once
// Thumbnails of the list's pictures for the window to show: made by the sandboxed decoder helper
// (never decoded in this process), in the background, and kept while the program runs. The
// pointer moves faster than pictures decode, so the newest request goes first, at most two
// decoders run, and requests that have fallen behind are dropped.

#include "conversion/DecodeTask.h"

#include <QCache>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace pagemint {

class Thumbnails : public QObject {
    Q_OBJECT
public:
    static constexpr int kRunning = 2; // decoders at once
    static constexpr int kWaiting = 4; // requests kept waiting, newest first

    explicit Thumbnails(QObject *parent = nullptr);
    ~Thumbnails() override;

    // Asks for the thumbnail of `path`. One already made (or refused) is answered before this
    // returns; otherwise the answer comes once the decoder is done, or never when the request is
    // dropped for newer ones.
    void request(const QString &path);
    // Pictures being decoded or waiting for a decoder.
    int pending() const { return static_cast<int>(running_.size() + waiting_.size()); }

Q_SIGNALS:
    // The picture small and upright by its EXIF orientation, as its page would show it before the
    // user's own turn.
    void made(const QString &path, const QImage &upright);
    // No thumbnail can be made; `reason` in the words of the decoder.
    void refused(const QString &path, const QString &reason);

private:
    struct Running {
        QString path;
        std::filesystem::path file;
        std::unique_ptr<DecodeTask> task;
    };
    void startWaiting();
    void step();
    // Answers the running pictures for which `ended` is true, then starts waiting ones.
    void collect(const std::function<bool(const Running &)> &ended);
    void finish(Running &run);

    std::deque<QString> waiting_;
    std::vector<Running> running_;
    // About 64 MB of pictures: a few hundred thumbnails, whatever the length of the list.
    QCache<QString, QImage> made_{64 * 1024 * 1024};
    QHash<QString, QString> refused_;
    QTemporaryDir folder_;
    QTimer timer_;
    quint64 next_ = 0;
};

} // namespace pagemint
