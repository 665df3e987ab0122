#pragma once
// Sizes and dates in Qt's file dialogs in the program's locale. Qt's file model formats them with
// the system's locale ("2.20 MiB", "14 Mar 2026" under C.UTF-8), which the program leaves alone:
// the C library and the helpers it starts keep the user's.

#include <QIdentityProxyModel>

class QDateTime;
class QLocale;

namespace pagemint {

// "2.20 MB", "392.78 kB", "800 字节".
QString fileSizeText(qint64 bytes, const QLocale &locale);
// "2026/3/14 10:30".
QString fileTimeText(const QDateTime &time, const QLocale &locale);

// A file dialog's model with its size and date columns in the default locale.
class FileDetailsInLocale : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex &index, int role) const override;
};

// Gives every widget-based file dialog, as it is shown, the model above. Ends with `owner`.
void showFileDetailsInLocale(QObject *owner);

} // namespace pagemint
