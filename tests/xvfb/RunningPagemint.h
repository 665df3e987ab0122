#pragma once
// The program started as from the desktop's menu, in a private home, on the test's X display.
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QTemporaryDir>

namespace pagemint::xtest {

class RunningPagemint {
public:
    // Starts `program` with HOME, XDG_RUNTIME_DIR and XDG_CACHE_HOME in a folder of its own.
    explicit RunningPagemint(const QString &program);
    ~RunningPagemint();

    // Waits for the main window to be shown in its final place; false when it never is.
    bool waitForMainWindow();
    QString home() const { return dir_.path() + QStringLiteral("/home"); }
    QString windowId() const { return windowId_; }
    // The main window's place now.
    QRect geometry() const;
    // A screen point given in the main window's own coordinates.
    QPoint at(QPoint windowPoint) const { return geometry().topLeft() + windowPoint; }
    // Waits for the program to end; false when it is still running.
    bool waitForExit(int timeoutMs);
    int exitCode() const { return process_.exitCode(); }
    // Everything the program wrote on stdout and stderr so far.
    QString output();
    // Waits until the program has written `text`; false when it has not within `timeoutMs`.
    bool waitForOutput(const QString &text, int timeoutMs);

    // The program's visible windows (main window, dialogs, pop-ups).
    static QStringList windows();
    // The first of the program's windows not in `before` that shows within `timeoutMs`; "" when none.
    static QString waitForNewWindow(const QStringList &before, int timeoutMs = 5000);
    // Types `text` into the file dialog `dialog` and presses Return until it closes (the first
    // Return may only take the completer's suggestion); false when it stays open.
    static bool answerFileDialog(const QString &dialog, const QString &text);

private:
    QTemporaryDir dir_;
    QProcess process_;
    QString output_;
    QString windowId_;
};

} // namespace pagemint::xtest
