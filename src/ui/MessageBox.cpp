#include "ui/MessageBox.h"

#include <QScreen>
#include <QShowEvent>
#include <QStyle>

#include <algorithm>

namespace pagemint {

namespace {

// A message box that fits on the screen it opens on, with its details opened too: text that
// would push the buttons off the screen is cut at a line where it fits, and the whole text goes
// behind the details button, whose text scrolls.
class FittingMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent *event) override
    {
        // Qt gives the box its size for its text here.
        QMessageBox::showEvent(event);
        fitOnScreen();
    }

private:
    // What the desktop adds above the box (its title bar and frame), which the box cannot measure
    // before the window manager has framed it.
    int frameAllowance() const
    {
        return std::max(style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this), 2 * fontMetrics().height()) +
               2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    }

    // Qt's details text has a fixed height of 100 pixels, plus the layout's spacing.
    int detailsAllowance() const { return 100 + 2 * fontMetrics().height(); }

    void fitOnScreen()
    {
        const QRect available = screen()->availableGeometry();
        const int room = available.height() - frameAllowance() - detailsAllowance();
        if (height() > room) {
            const QString whole = text();
            if (detailedText().isEmpty())
                setDetailedText(whole);
            setText(longestFittingPart(whole, room));
        }
        // Centred as Qt placed it, but never past an edge of the available area.
        const int frame = frameAllowance();
        const int lowest = available.bottom() + 1 - height() - detailsAllowance();
        move(std::clamp(x(), available.left(), std::max(available.left(), available.right() + 1 - width())),
             std::clamp(y(), available.top() + frame, std::max(available.top() + frame, lowest)));
    }

    // The longest beginning of `whole`, cut at a line end where there is one, that keeps the box
    // within `room` with "…" after it. Each try lays the box out anew (setText resizes it).
    QString longestFittingPart(const QString &whole, int room)
    {
        const auto cut = [&whole](qsizetype length) {
            const qsizetype lineEnd = whole.lastIndexOf(u'\n', length);
            return whole.left(lineEnd > 0 ? lineEnd : length) + QStringLiteral("\n…");
        };
        qsizetype fits = 0;
        qsizetype tooLong = whole.size();
        while (tooLong - fits > 1) {
            const qsizetype middle = fits + (tooLong - fits) / 2;
            setText(cut(middle));
            (height() <= room ? fits : tooLong) = middle;
        }
        return cut(fits);
    }
};

} // namespace

QMessageBox::StandardButton ShowMessage(QWidget *owner, const QString &text, const QString &caption,
                                        QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                                        const QString &details)
{
    FittingMessageBox box(icon, caption, text, buttons, owner);
    box.setObjectName(QStringLiteral("pagemintMessage"));
    if (!details.isEmpty())
        box.setDetailedText(details);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace pagemint
