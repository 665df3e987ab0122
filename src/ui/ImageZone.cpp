#include "ui/ImageZone.h"

#include <QMouseEvent>

namespace pagemint {

ImageZone::ImageZone(QWidget *parent, const QString &name) : QLabel(parent)
{
    setObjectName(name);
    setMouseTracking(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void ImageZone::showPicture(const QPixmap &picture)
{
    setPixmap(picture);
}

void ImageZone::clearPicture()
{
    clear();
}

bool ImageZone::hasPicture() const
{
    return !pixmap().isNull();
}

void ImageZone::mousePressEvent(QMouseEvent *event)
{
    Q_EMIT pressed(event->button());
}

void ImageZone::mouseMoveEvent(QMouseEvent *)
{
    Q_EMIT moved();
}

void ImageZone::mouseReleaseEvent(QMouseEvent *event)
{
    if (rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

} // namespace pagemint
