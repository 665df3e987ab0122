// Picture files dropped on the main window's list area join the image list.
#include "ui/frmMain.h"

#include "common/ExitRequest.h"
#include "imagelist/DropIntake.h"
#include "imagelist/ListRowsMimeData.h"
#include "ui/AddFolderCommand.h"

#include <QDropEvent>
#include <QFrame>
#include <QLabel>

#include "ui/ImageListView.h"
#include <algorithm>

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
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        // The list's own entries dragged within it reorder it: the view takes them, nobody else.
        if (qobject_cast<const ListRowsMimeData *>(drop->mimeData()) != nullptr) {
            if (watched == List1->viewport())
                return false;
            drop->ignore();
            return true;
        }
        // A drop during a folder search would start a second search inside the first.
        if (searching_) {
            drop->ignore();
            return true;
        }
        // The source is told its data was copied, never moved.
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        if (event->type() != QEvent::Drop)
            return true;
        if (watched == picDoor)
            picDoor->hide();
        std::vector<DroppedItem> items = droppedItems(*drop->mimeData());
        const bool anyFolder =
            std::any_of(items.begin(), items.end(), [](const DroppedItem &item) { return item.folder; });
        if (!anyFolder) {
            addDropped(items);
            return true;
        }
        // A folder search handles events for as long as it runs: the drop is answered first, so the
        // program the folder came from is not held up.
        QMetaObject::invokeMethod(
            this, [this, items = std::move(items)] { addDropped(items); }, Qt::QueuedConnection);
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void frmMain::addDropped(const std::vector<DroppedItem> &items)
{
    QStringList files;
    for (const DroppedItem &item : items) {
        if (!item.folder) {
            files.append(item.path);
            continue;
        }
        appendEntries(files);
        files.clear();
        AddImagesOfFolder(*this, item.path, this);
        if (exitRequested)
            return;
    }
    appendEntries(files);
}

} // namespace pagemint
