#pragma once
// What a person does at an X display, done with xdotool, and what they see, read from the root
// window. Every call waits for its tool; nothing here knows about Pagemint.
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace pagemint::xtest {

struct ToolResult {
    int exitCode = -1;
    QString output;
};

// Runs a command line tool to its end (at most 20 s).
ToolResult runTool(const QString &program, const QStringList &arguments);

// The whole screen as it is now.
QImage grabScreen();

void pointerTo(QPoint screenPoint);
void pressLeft();
void releaseLeft();
void clickLeft();
// A key by its X name ("Escape", "Return").
void pressKey(const QString &keyName);
// Types ASCII text into the window that has the keyboard focus.
void typeText(const QString &text);
// Gives a window the keyboard focus; there is no window manager to do it.
void focusWindow(const QString &windowId);

// Visible windows whose class matches the regular expression. Qt names a pop-up menu only in
// _NET_WM_NAME (its WM_NAME is empty), so the class finds them where the title would not.
QStringList visibleWindowsOfClass(const QString &classPattern);
// A window's place on the screen.
std::optional<QRect> windowGeometry(const QString &windowId);

// Polls `done` every 20 ms for at most `timeoutMs`.
bool waitUntil(const std::function<bool()> &done, int timeoutMs = 5000);

// Largest difference of any colour channel.
int channelDistance(QRgb a, QRgb b);
// Mean of the largest channel difference over two pictures of one size.
double meanDistance(const QImage &a, const QImage &b);

} // namespace pagemint::xtest
