#include "XDesktop.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QThread>

#include <algorithm>
#include <cstdlib>

namespace pagemint::xtest {

ToolResult runTool(const QString &program, const QStringList &arguments)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(program, arguments);
    if (!tool.waitForFinished(20000)) {
        tool.kill();
        tool.waitForFinished();
        return {-1, QStringLiteral("%1 did not finish").arg(program)};
    }
    return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1, QString::fromLocal8Bit(tool.readAll())};
}

QImage grabScreen()
{
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
}

namespace {
void xdotool(const QStringList &arguments)
{
    runTool(QStringLiteral("xdotool"), arguments);
}
} // namespace

void pointerTo(QPoint screenPoint)
{
    xdotool({QStringLiteral("mousemove"), QString::number(screenPoint.x()), QString::number(screenPoint.y())});
}

void pressLeft()
{
    xdotool({QStringLiteral("mousedown"), QStringLiteral("1")});
}

void releaseLeft()
{
    xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
}

void clickLeft()
{
    xdotool({QStringLiteral("click"), QStringLiteral("1")});
}

void pressKey(const QString &keyName)
{
    xdotool({QStringLiteral("key"), keyName});
}

void typeText(const QString &text)
{
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("5"), text});
}

void focusWindow(const QString &windowId)
{
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), windowId});
}

QStringList visibleWindowsOfClass(const QString &classPattern)
{
    const ToolResult found =
        runTool(QStringLiteral("xdotool"),
                {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--class"), classPattern});
    return found.exitCode == 0 ? found.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts) : QStringList();
}

std::optional<QRect> windowGeometry(const QString &windowId)
{
    const ToolResult info = runTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), windowId});
    if (info.exitCode != 0)
        return std::nullopt;
    auto field = [&](const char *name) {
        const QRegularExpression line(QStringLiteral("%1:\\s+(-?\\d+)").arg(QString::fromLatin1(name)));
        return line.match(info.output).captured(1).toInt();
    };
    return QRect(field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height"));
}

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    for (int waited = 0; !done(); waited += 20) {
        if (waited >= timeoutMs)
            return false;
        QThread::msleep(20);
    }
    return true;
}

int channelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

double meanDistance(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.isNull())
        return 255;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            sum += channelDistance(a.pixel(x, y), b.pixel(x, y));
    return sum / (a.width() * a.height());
}

} // namespace pagemint::xtest
