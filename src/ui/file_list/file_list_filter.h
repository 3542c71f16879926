#pragma once
// The file-list filter: which items of the listed folder are shown, and in
// which order. Folders are always shown; files only when their extension
// equals, ignoring case, the extension of one of the masks; "*.*" shows all.

#include <QSortFilterProxyModel>
#include <QString>
#include <QStringList>

class QFileSystemModel;

// The two filters the program sets: shown text and mask, split by "|".
inline const QString kJpegFilter = QStringLiteral("*.jpg;*.jpeg|*.jpg;*.jpeg");
inline const QString kBitmapFilter = QStringLiteral("*.bmp|*.bmp");

// The mask part of a filter text ("*.*" when there is none).
QString FilterMask(const QString& filterText);

// Splits a mask at ";" into ListMasks; "*.*" gives the single entry "*.*".
QStringList ParseListMasks(const QString& mask);

// The extension from the last "." on, empty when there is none.
QString NameExtension(const QString& name);

// The size or date cell `item` of `files` in the default locale (the
// program's language), where the file model writes the desktop's; an invalid
// QVariant for any other cell, and for a folder's size.
QVariant FileCellInProgramLocale(const QFileSystemModel& files, const QModelIndex& item);

// ShellListView01AddFolder's decision for one item.
bool ListMasksAdmit(const QStringList& masks, const QString& name, bool isFolder);

// Filters and sorts the items of a QFileSystemModel: folders first (in
// either order), then by the sort column (name, size, type or date), ties and
// names by name ignoring case, then by byte order. Renaming never replaces an
// existing item.
class FileListFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit FileListFilterModel(QObject* parent = nullptr);

    void setListMasks(const QStringList& masks);
    const QStringList& listMasks() const { return m_masks; }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    // Sizes and dates in the default locale (the program's language); the
    // file model writes them in the desktop's.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    QStringList m_masks{QStringLiteral("*.*")};
};

// Renames `from` to `newName` in the same folder, never replacing an existing
// entry. False when the name is empty, holds "/", or is taken.
bool RenameWithoutReplacing(const QString& from, const QString& newName);
