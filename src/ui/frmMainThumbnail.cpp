// The thumbnail of the entry the pointer rests on (or the selected one), beside the list. The
// engine has it made by the decoder; the window only turns it by the entry's turn and shows it.
#include "ui/frmMain.h"

#include "imagelist/ImageList.h"
#include "ui/ImageListView.h"

#include <QLabel>
#include <QTransform>

namespace pagemint {

void frmMain::wantThumbnail(int row)
{
    if (row < 0 || row >= list_->count()) {
        hideThumbnail();
        return;
    }
    thumbnailRow_ = row;
    Q_EMIT thumbnailWanted(list_->at(row));
}

void frmMain::hideThumbnail()
{
    thumbnailRow_ = -1;
    picThumbnail->hide();
}

void frmMain::showThumbnail(const QString &path, const QImage &upright)
{
    // An answer for a picture the pointer has left behind is dropped.
    if (thumbnailRow_ < 0 || list_->at(thumbnailRow_) != path || !List1->isEnabled())
        return;
    const QImage turned = upright.transformed(QTransform().rotate(list_->turnAt(thumbnailRow_)));
    picThumbnail->setPixmap(QPixmap::fromImage(turned));
    picThumbnail->adjustSize();
    // Right of the list, level with the row, and inside the screen's top.
    const QRect row = List1->visualRect(list_->index(thumbnailRow_));
    const QPoint beside = List1->mapToGlobal(QPoint(List1->width() + 4, row.top()));
    picThumbnail->move(beside.x(), std::max(0, beside.y() - picThumbnail->height() / 2));
    picThumbnail->show();
    Q_EMIT thumbnailShown(path);
}

} // namespace pagemint
