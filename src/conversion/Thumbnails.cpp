#include "conversion/Thumbnails.h"

#include "conversion/ConversionLog.h"
#include "conversion/ReasonWords.h"
#include "conversion/StagingPaths.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <algorithm>

namespace fs = std::filesystem;

namespace pagemint {

namespace {
// Our own decoder's small JPEG, checked before and after it is read: never more than it can be.
QImage loadThumbnail(const fs::path &file)
{
    QFile in(fromFsPath(file));
    if (!in.open(QIODevice::ReadOnly) || in.size() > decoder::kMaxThumbnailBytes)
        return {};
    QByteArray bytes = in.readAll();
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "jpeg");
    reader.setAllocationLimit(1); // megabytes; a thumbnail takes a quarter of one
    QImage image = reader.read();
    if (image.width() > decoder::kThumbnailSide || image.height() > decoder::kThumbnailSide)
        return {};
    return image;
}
} // namespace

Thumbnails::Thumbnails(QObject *parent) : QObject(parent)
{
    // Short enough that a thumbnail shows as soon as it is made, and only while decoders run.
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, &Thumbnails::step);
}

Thumbnails::~Thumbnails() = default; // a decoder still running is killed with its task

void Thumbnails::request(const QString &path)
{
    if (const QImage *image = made_.object(path)) {
        Q_EMIT made(path, *image);
        return;
    }
    if (const auto reason = refused_.constFind(path); reason != refused_.cend()) {
        Q_EMIT refused(path, *reason);
        return;
    }
    if (std::any_of(running_.cbegin(), running_.cend(), [&](const Running &run) { return run.path == path; }))
        return;
    std::erase(waiting_, path);
    waiting_.push_front(path);
    if (waiting_.size() > kWaiting)
        waiting_.resize(kWaiting);
    startWaiting();
}

void Thumbnails::startWaiting()
{
    if (!folder_.isValid()) {
        qCWarning(lcConversion, "no folder for thumbnails: %s", qUtf8Printable(folder_.errorString()));
        waiting_.clear();
        return;
    }
    while (running_.size() < kRunning && !waiting_.empty()) {
        Running run;
        run.path = waiting_.front();
        waiting_.pop_front();
        run.file = toFsPath(folder_.filePath(QStringLiteral("%1.jpg").arg(next_++)));
        run.task = std::make_unique<DecodeTask>(run.path, run.file, decoder::DecodeForm::Thumbnail);
        running_.push_back(std::move(run));
    }
    if (!running_.empty() && !timer_.isActive())
        timer_.start();
    // A picture that could not even be opened is answered now; decoders are looked at only by the
    // timer, so a burst of requests within one event sees none of them end.
    collect([](const Running &run) { return run.task->done(); });
}

void Thumbnails::step()
{
    collect([](const Running &run) { return run.task->advance(); });
}

void Thumbnails::collect(const std::function<bool(const Running &)> &ended)
{
    std::vector<Running> over;
    for (auto run = running_.begin(); run != running_.end();) {
        if (ended(*run)) {
            over.push_back(std::move(*run));
            run = running_.erase(run);
        } else {
            ++run;
        }
    }
    if (running_.empty())
        timer_.stop();
    // The answers may bring new requests; they find the decoders free.
    for (Running &run : over)
        finish(run);
    if (!over.empty() && !waiting_.empty())
        startWaiting();
}

void Thumbnails::finish(Running &run)
{
    const DecoderRun &result = run.task->result();
    if (result.written()) {
        QImage image = loadThumbnail(run.file);
        if (std::error_code error; !fs::remove(run.file, error) && error)
            qCWarning(lcConversion, "thumbnail %s not removed: %s", run.file.c_str(), error.message().c_str());
        if (!image.isNull()) {
            const auto cost = static_cast<int>(std::min<qsizetype>(image.sizeInBytes(), made_.maxCost()));
            made_.insert(run.path, new QImage(image), cost);
            Q_EMIT made(run.path, image);
            return;
        }
        // Our decoder wrote something that is no thumbnail: nothing of it is shown.
        const QString reason = reasonWords(reason::kDamaged);
        refused_.insert(run.path, reason);
        Q_EMIT refused(run.path, reason);
        return;
    }
    // A job's cancel or the program's end stopped it: it may be asked for again.
    if (result.ending == DecoderEnding::Cancelled || result.ending == DecoderEnding::NotStarted)
        return;
    refused_.insert(run.path, result.reason);
    Q_EMIT refused(run.path, result.reason);
}

} // namespace pagemint
