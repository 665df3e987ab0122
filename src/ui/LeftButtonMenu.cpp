#include "ui/LeftButtonMenu.h"

#include <QMenu>
#include <QMouseEvent>

namespace pagemint {

namespace {
class LeftButtonOnly : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick: {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            const auto *menu = static_cast<QWidget *>(watched);
            return mouse->button() != Qt::LeftButton && menu->rect().contains(mouse->position().toPoint());
        }
        default:
            return false;
        }
    }
};
} // namespace

void acceptLeftButtonOnly(QMenu &menu)
{
    menu.installEventFilter(new LeftButtonOnly(&menu));
}

} // namespace pagemint
