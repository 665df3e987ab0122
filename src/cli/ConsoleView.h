#pragma once
// The conversion job's face on a console: what a window would show goes to standard error, the
// written PDFs' paths to standard output, one per line, and nothing is ever asked.

#include "conversion/ConversionView.h"

#include <cstdio>

namespace pagemint {

class ConsoleView : public ConversionView {
public:
    struct Streams {
        std::FILE *out = stdout;
        std::FILE *err = stderr;
        bool errIsTerminal = false; // a bar redrawn in place; otherwise a line per picture
        bool quiet = false;         // no progress at all; reasons and failures are still told
    };
    ConsoleView(QStringList pictures, Streams streams);

    int pdfsWritten() const { return written_; }
    int picturesLeftOut() const { return leftOut_; }
    // Writes one line of `text` to standard error, past the bar.
    void say(const QString &text);

    void enableCommands(bool) override {}
    void enableConvertCommand(bool) override {}
    void showOutputFolder(const QString &) override {}
    // The job shows the bar while it works and hides it at its end; a hidden bar is not drawn.
    void showProgressBar(bool shown) override;
    void showStatus(const QString &) override {}
    void showProgressText(const QString &) override {}
    void showFill(double fraction) override;
    // Never asked: the run was told beforehand what becomes of existing PDFs.
    bool askToOverwrite(const QString &) override { return false; }
    void tell(const QString &text, const QString &caption, Tone tone, const QString &details) override;
    // The paths on standard output name the PDFs; no folder is shown.
    bool openFolder(const QString &) override { return true; }
    void beep() override {}
    void handleEvents() override;
    void pictureDone(int index, int count) override;
    void pdfWritten(const QString &path) override;
    void reportEnd(const std::vector<ReportEntry> &leftOut, const std::vector<ReportEntry> &renamed,
                   const std::vector<ReportEntry> &textless, bool nothingWritten) override;

private:
    void drawBar(const QString &line);
    void clearBar();

    QStringList pictures_;
    Streams streams_;
    int done_ = 0;
    int written_ = 0;
    int leftOut_ = 0;
    bool barShown_ = false;
    bool barWanted_ = false;
};

// Writes `text` as the file system's bytes (a path that is not UTF-8 keeps its own) and flushes.
void writeConsoleText(std::FILE *stream, const QString &text);

} // namespace pagemint
