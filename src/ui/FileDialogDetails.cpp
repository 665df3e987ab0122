#include "ui/FileDialogDetails.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLocale>

namespace pagemint {

namespace {
// The columns of QFileSystemModel.
constexpr int kSizeColumn = 1;
constexpr int kDateColumn = 3;

class FileDialogWatcher : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // A native dialog is never shown as a widget; a widget-based one is shown once per run.
        if (event->type() == QEvent::Show)
            if (auto *dialog = qobject_cast<QFileDialog *>(watched); dialog != nullptr && !dialog->proxyModel())
                dialog->setProxyModel(new FileDetailsInLocale(dialog));
        return QObject::eventFilter(watched, event);
    }
};
} // namespace

QString fileSizeText(qint64 bytes, const QLocale &locale)
{
    return locale.formattedDataSize(bytes, 2, QLocale::DataSizeTraditionalFormat);
}

QString fileTimeText(const QDateTime &time, const QLocale &locale)
{
    return locale.toString(time, QLocale::ShortFormat);
}

QVariant FileDetailsInLocale::data(const QModelIndex &index, int role) const
{
    const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
    if (role != Qt::DisplayRole || files == nullptr || (index.column() != kSizeColumn && index.column() != kDateColumn))
        return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    if (index.column() == kDateColumn)
        return fileTimeText(files->lastModified(source), QLocale());
    // A folder has no size.
    return files->isDir(source) ? QIdentityProxyModel::data(index, role) : fileSizeText(files->size(source), QLocale());
}

void showFileDetailsInLocale(QObject *owner)
{
    QCoreApplication::instance()->installEventFilter(new FileDialogWatcher(owner));
}

} // namespace pagemint
