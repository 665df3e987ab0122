// Picture files dropped on the main window's list area join the image list.
#include "ui/frmMain.h"

#include "imagelist/DropIntake.h"

#include <QDropEvent>
#include <QFrame>
#include <QLabel>
#include <QListView>

namespace pagemint {

void frmMain::enableDrops()
{
    for (QWidget *target : std::initializer_list<QWidget *>{picDoor, picText, List1->viewport()}) {
        target->setAcceptDrops(true);
        target->installEventFilter(this);
    }
    // A drop on the hint text counts as a drop on its box.
    lblText->setAttribute(Qt::WA_TransparentForMouseEvents);
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == List1->viewport() && event->type() == QEvent::Leave)
        hideThumbnail();
    const bool dropTarget = watched == picDoor || watched == picText || watched == List1->viewport();
    if (!dropTarget)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDropEvent *>(event);
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        if (watched == picDoor)
            picDoor->hide();
        // The source is told its data was copied, never moved.
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        appendEntries(droppedPicturePaths(*drop->mimeData()));
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

} // namespace pagemint
