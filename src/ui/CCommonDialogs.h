#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace pagemint {

// The system's common dialogs behind properties: set properties, call a Show… method, check its
// result, read the result properties. Result properties change only when the user confirmed.
class CCommonDialogs {
public:
    void setFontUnderline(bool vData) { fontUnderline_ = vData; }
    bool FontUnderline() const { return fontUnderline_; }
    void setFontItalic(bool vData) { fontItalic_ = vData; }
    bool FontItalic() const { return fontItalic_; }
    void setFontBold(bool vData) { fontBold_ = vData; }
    bool FontBold() const { return fontBold_; }
    void setFontSize(qint16 vData) { fontSize_ = vData; }
    qint16 FontSize() const { return fontSize_; }
    void setFontName(const QString &vData) { fontName_ = vData; }
    QString FontName() const { return fontName_; }
    void setColor(quint32 nNew) { color_ = nNew; }
    quint32 Color() const { return color_; } // 0x00BBGGRR
    void setDefExt(const QString &vData) { defExt_ = vData; }
    QString DefExt() const { return defExt_; }
    void setTitle(const QString &vData) { title_ = vData; }
    QString Title() const { return upToNul(title_); }

    // Binds the dialogs to their owner window; call before any Show… method.
    void Init(QWidget *OwnerForm) { owner_ = OwnerForm; }

    void setPath(const QString &vData) { path_ = vData; }
    QString Path() const { return upToNul(path_); }
    void setFileTitle(const QString &vData) { fileTitle_ = vData; }
    QString FileTitle() const { return upToNul(fileTitle_); }
    QString Filter() const { return filter_; }
    void setFilter(const QString &vNewValue) { filter_ = vNewValue; }
    QString Filename() const { return upToNul(filename_); }
    void setFilename(const QString &sNewVal) { filename_ = sNewVal; }

    // Open-file dialog for one existing file, the first filter pair selected. It starts in the
    // folder the user last chose a file from (at first the current folder).
    bool ShowOpen();
    // The same for any number of existing files at once; Filenames holds them as the dialog gave
    // them, Filename, FileTitle and Path describe the first.
    bool ShowOpenFiles();
    QStringList Filenames() const { return filenames_; }

    // Save-file dialog titled "Save", starting in Path: Path gains a trailing separator, or
    // becomes the application folder when blank or missing, and keeps that even if the user
    // cancels. A blank Filter offers every file. Choosing an existing file asks nothing.
    bool ShowSave();
    // Colour dialog starting at Color, its custom colours black again at every call. Qt's dialog
    // always shows the custom colour part, so FullOpen changes nothing.
    bool ShowColor(bool FullOpen);
    // Font dialog starting with FontName, FontSize, FontBold, FontItalic and FontUnderline; a
    // confirmed choice sets all but FontUnderline (and Color). Never reports an error.
    bool ShowFont();
    // Folder chooser titled Title; a confirmed folder becomes Path and clears Filename and
    // FileTitle.
    bool ShowFolder();
    // Print dialog without selection, page-range or print-to-file choices; stores nothing.
    bool ShowPrinter();
    // Page set-up of the default printer; false at once when there is none. Never reports an
    // error.
    bool ShowPrinterProperties();

private:
    static QString upToNul(const QString &text);
    bool showOpenDialog(bool manyFiles);
    QWidget *owner() const { return owner_.data(); }

    bool fontUnderline_ = false;
    bool fontItalic_ = false;
    bool fontBold_ = false;
    qint16 fontSize_ = 0;
    QString fontName_;
    quint32 color_ = 0;
    QString defExt_;
    QString title_;
    QString path_;
    QString fileTitle_;
    QString filter_;
    QString filename_;
    QStringList filenames_;
    QPointer<QWidget> owner_;
    QString openFolder_;
};

} // namespace pagemint
