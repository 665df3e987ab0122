#include "cli/ConsoleView.h"

#include "cli/ConsoleProgress.h"
#include "common/FileNameBytes.h"
#include "conversion/ReasonWords.h"

#include <QCoreApplication>

namespace pagemint {

void writeConsoleText(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = encodeFileName(text);
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

ConsoleView::ConsoleView(QStringList pictures, Streams streams) : pictures_(std::move(pictures)), streams_(streams) {}

void ConsoleView::say(const QString &text)
{
    clearBar();
    writeConsoleText(streams_.err, text + u'\n');
}

void ConsoleView::drawBar(const QString &line)
{
    // Back to the start of the line and clear it: a shorter line leaves nothing of the last one.
    writeConsoleText(streams_.err, QStringLiteral("\r\x1b[K") + line);
    barShown_ = true;
}

void ConsoleView::clearBar()
{
    if (!barShown_)
        return;
    writeConsoleText(streams_.err, QStringLiteral("\r\x1b[K"));
    barShown_ = false;
}

void ConsoleView::showProgressBar(bool shown)
{
    barWanted_ = shown;
    if (!shown)
        clearBar();
}

void ConsoleView::showFill(double fraction)
{
    // Once every picture is staged, the fill is the converter's part of a merged run.
    const int total = static_cast<int>(pictures_.size());
    if (!streams_.quiet && streams_.errIsTerminal && barWanted_ && done_ == total && total > 0)
        drawBar(converterBarLine(fraction));
}

void ConsoleView::tell(const QString &text, const QString &, Tone, const QString &details)
{
    say(details.isEmpty() ? text : text + u'\n' + details);
}

void ConsoleView::handleEvents()
{
    QCoreApplication::processEvents();
}

void ConsoleView::pictureDone(int index, int count)
{
    done_ = index + 1;
    if (streams_.quiet)
        return;
    if (streams_.errIsTerminal) {
        if (barWanted_)
            drawBar(pictureBarLine(done_, count));
    } else
        writeConsoleText(streams_.err, pictureDoneLine(done_, count, pictures_.value(index)) + u'\n');
}

void ConsoleView::pdfWritten(const QString &path)
{
    ++written_;
    // Where the terminal shows both streams, the path goes on a line of its own, not into the bar.
    const bool redraw = barShown_;
    clearBar();
    writeConsoleText(streams_.out, path + u'\n');
    if (redraw && done_ < pictures_.size())
        drawBar(pictureBarLine(done_, static_cast<int>(pictures_.size())));
}

void ConsoleView::reportEnd(const std::vector<ReportEntry> &leftOut, const std::vector<ReportEntry> &,
                            const std::vector<ReportEntry> &textless, bool nothingWritten)
{
    // Every picture by its whole path: a script or a person reads them all. The renamed are named
    // by the paths on standard output.
    clearBar();
    for (const ReportEntry &entry : leftOut) {
        ++leftOut_;
        say(QStringLiteral("已跳过：%1%2").arg(entry.path, entry.note));
    }
    // Converted, but without their text layer: not left out, so the exit code does not count them.
    for (const ReportEntry &entry : textless)
        say(QStringLiteral("无文字层：%1%2").arg(entry.path, entry.note));
    if (nothingWritten)
        say(reasonWords(reason::kNoPdfWritten) + u'。');
}

} // namespace pagemint
